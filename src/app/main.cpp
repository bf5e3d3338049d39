#include <QApplication>
#include <QStandardPaths>
#include <QTimer>

#include "about/BuildInfo.h"
#include "about/frmAbout.h"
#include "app/CommandLine.h"
#include "app/Form_Main.h"
#include "common/DeferredIcon.h"
#include "common/ProgramIcon.h"
#include "login/frmLogin.h"
#include "platform/Clock.h"
#include "platform/ExecutableFolder.h"
#include "platform/Prompter.h"
#include "platform/RandomSource.h"
#include "platform/SystemInfo.h"
#include "store/AppPath.h"
#include "store/FileIo.h"

int main(int argc, char* argv[]) {
    if (const std::optional<int> exitCode = keyrack::AnswerInformationOptions(argc, argv)) {
        return *exitCode;
    }
    QApplication app(argc, argv);
    // No application display name: window systems would append it to every title, and the main
    // window's title already starts with the program's name.
    QApplication::setDesktopFileName(QString::fromLatin1(keyrack::build::kAppId));
    // Drawn when a window system first asks for it, not while the login window is awaited.
    QApplication::setWindowIcon(keyrack::DeferredIcon(keyrack::ProgramIcon));
    keyrack::UsePlaces(keyrack::LocatePlaces(
        keyrack::platform::ExecutableFolder(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString()));

    keyrack::platform::QtPrompter prompter;
    keyrack::platform::SystemClock clock;
    keyrack::platform::DesktopSystemInfo systemInfo;
    // For timing the start-up: the login window closes as soon as it is shown, and the program
    // ends as after a cancelled login.
    const bool quitAtLogin = qEnvironmentVariableIsSet("KEYRACK_QUIT_AT_LOGIN");
    const auto runLogin = [quitAtLogin](keyrack::frmLogin& login) {
        if (quitAtLogin) {
            QTimer::singleShot(0, &login, &QDialog::reject);
        }
        login.exec();
    };
    keyrack::Form_Main window({prompter, keyrack::platform::SystemRandom(), clock, runLogin,
                               keyrack::SystemFileIo(), systemInfo,
                               [](keyrack::frmAbout& about) { about.exec(); }});
    if (!window.Form_Load()) {
        return 0;
    }
    window.show();
    window.ReportStartupWriteFailure();
    return QApplication::exec();
}
