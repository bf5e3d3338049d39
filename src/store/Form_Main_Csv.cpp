// Moving entries in and out as CSV, the form other password keepers read and write.
#include <QAction>
#include <QFile>
#include <QMenu>

#include "app/Form_Main.h"
#include "common/Cp1252.h"
#include "lang/Messages.h"
#include "store/CsvEntries.h"

namespace keyrack {

namespace {

constexpr int kExportCaption = 67;
constexpr int kImportCaption = 68;
constexpr int kExportWarning = 69;
constexpr int kImportSummary = 70;

// A menu caption as a dialog title.
QString TitleOf(int caption) {
    QString title = Message(caption);
    title.remove(QChar(0x2026));
    return title.trimmed();
}

}  // namespace

void Form_Main::BuildCsvMenu() {
    MNU_Export = new QAction(QStringLiteral("Export…"), this);
    MNU_Import = new QAction(QStringLiteral("Import…"), this);
    MNU_Export->setObjectName(QStringLiteral("MNU_Export"));
    MNU_Import->setObjectName(QStringLiteral("MNU_Import"));
    MNU_File->insertActions(MNU_Bar1, {MNU_Export, MNU_Import});
    connect(MNU_Export, &QAction::triggered, this, &Form_Main::MNU_Export_Click);
    connect(MNU_Import, &QAction::triggered, this, &Form_Main::MNU_Import_Click);
}

void Form_Main::ApplyCsvCaptions() {
    MNU_Export->setText(Message(kExportCaption));
    MNU_Import->setText(Message(kImportCaption));
}

void Form_Main::MNU_Export_Click() {
    if (services_.prompter.MessageBox(this, Message(kExportWarning),
                                      platform::Prompter::Buttons::YesNoDefaultNo,
                                      windowTitle()) != platform::Prompter::Answer::Yes) {
        return;
    }
    const QString chosen = services_.prompter.FileName(this, TitleOf(kExportCaption), true);
    if (chosen.isEmpty()) {
        return;
    }
    const auto toUtf8 = [](const std::string& text) -> std::optional<std::string> {
        return FromCp1252(text).toUtf8().toStdString();
    };
    const std::string csv = ExportCsv(EntriesForExport(Store, DataKey), toUtf8);
    // Written like the backup: owner-only, and never half a file in place of the old one.
    const IoResult written =
        ReplaceWhole(services_.files, QFile::encodeName(chosen).toStdString(), csv);
    if (!written) {
        ShowMessage(TitleOf(kExportCaption) + "\n" + chosen + "\n" +
                    QString::fromStdString(written.reason));
    }
}

void Form_Main::MNU_Import_Click() {
    const QString chosen = services_.prompter.FileName(this, TitleOf(kImportCaption), false);
    if (chosen.isEmpty()) {
        return;
    }
    const auto summary = [](int imported, int skipped) {
        return Message(kImportSummary)
            .replace(QStringLiteral("%1"), QString::number(imported))
            .replace(QStringLiteral("%2"), QString::number(skipped));
    };
    std::string text;
    const IoResult read = services_.files.ReadAll(QFile::encodeName(chosen).toStdString(), text);
    if (!read) {
        ShowMessage(summary(0, 0) + "\n" + chosen + "\n" + QString::fromStdString(read.reason));
        return;
    }
    const CsvRead rows = ReadCsvEntries(text);
    const auto toStored = [](const std::string& utf8) {
        return ToCp1252(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    };
    const ImportPlan plan = PlanImport(Store, DataKey, rows.entries, toStored,
                                       {pw_Type, pw_Case, pw_NumChar}, services_.random);
    const ImportResult result = RunImport(plan, [this](int record, const FieldValues& fields) {
        return Store.WriteRecord(fields, record, DataFilePath, false);
    });
    // One reload for the whole import.
    LoadPasswordList();

    QString report = summary(result.entries, rows.skipped + plan.skipped);
    if (plan.fileFull) {
        report = Message(kMessageFileFull) + "\n" + report;
    }
    if (!result.complete) {
        report = Message(kMessageWriteFailed) + "\n" + QString::fromStdString(DataFilePath) + "\n" +
                 report;
    }
    ShowMessage(report);
}

}  // namespace keyrack
