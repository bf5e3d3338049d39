#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "about/BuildInfo.h"

namespace keyrack {

std::optional<int> AnswerInformationOptions(int& argc, char* argv[]) {
    // The usual start names no option: it need not pay for a second application object.
    if (argc < 2) {
        return std::nullopt;
    }
    // QCommandLineParser reads the arguments through a QCoreApplication; this one ends before
    // the QApplication that needs the display is made.
    const QCoreApplication core(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Keyrack keeps your passwords, user names and web addresses in one place."));
    // Qt's own options are single-dash words ("-reverse", "-style"); read as letters, "-reverse"
    // would hold a "v" and be taken for -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Named here rather than with addHelpOption(), whose --help-all would list only a
    // QCoreApplication's options, not those of the QApplication that follows.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    // Any option not named here is QApplication's to judge, so a failed parse is not an error.
    parser.parse(QCoreApplication::arguments());

    if (parser.isSet(version)) {
        std::printf("keyrack %s\n", build::kVersion);
        return 0;
    }
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    return std::nullopt;
}

}  // namespace keyrack
