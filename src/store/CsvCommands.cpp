// Moving entries in and out as CSV, the form other password keepers read and write.
#include "store/CsvCommands.h"

#include <algorithm>
#include <memory>

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QProgressDialog>

#include "common/Notices.h"
#include "common/Session.h"
#include "common/StatusMessages.h"
#include "common/Utf8.h"
#include "lang/Messages.h"
#include "store/Csv.h"
#include "store/CsvEntries.h"
#include "store/CsvSummary.h"
#include "store/DataFileSync.h"
#include "store/RecordStore.h"
#include "store/ValueText.h"

namespace keyrack {

namespace {

constexpr int kExportCaption = 67;
constexpr int kImportCaption = 68;
constexpr int kExportWarning = 69;
constexpr int kCancelCaption = 4;
// The progress bar's steps: the reading of the file up to kReadingEnd, then the write.
constexpr int kReadingEnd = 900;
constexpr int kProgressEnd = 1000;

// A menu caption as a dialog title.
QString TitleOf(int caption) {
    QString title = Message(caption);
    title.remove(QChar(0x2026));
    return title.trimmed();
}

QString Summary(const CsvRead& rows, const ImportPlan& plan, const ImportResult& result) {
    return QString::fromStdString(
        ImportSummary(rows, plan, result, [](int n) { return Message(n).toStdString(); }));
}

}  // namespace

CsvCommands::CsvCommands(Session& session, RecordStore& store, DataFileSync& sync, FileIo& files,
                         platform::RandomSource& random, Notices& notices, QMenu& fileMenu)
    : QObject(&fileMenu),
      session_(session),
      store_(store),
      sync_(sync),
      files_(files),
      random_(random),
      notices_(notices) {
    setObjectName(QStringLiteral("CsvCommands"));
    MNU_Export = fileMenu.addAction(QStringLiteral("Export…"));
    MNU_Import = fileMenu.addAction(QStringLiteral("Import…"));
    MNU_Export->setObjectName(QStringLiteral("MNU_Export"));
    MNU_Import->setObjectName(QStringLiteral("MNU_Import"));
    connect(MNU_Export, &QAction::triggered, this, &CsvCommands::MNU_Export_Click);
    connect(MNU_Import, &QAction::triggered, this, &CsvCommands::MNU_Import_Click);
}

void CsvCommands::ApplyCaptions() {
    MNU_Export->setText(Message(kExportCaption));
    MNU_Import->setText(Message(kImportCaption));
}

void CsvCommands::MNU_Export_Click() {
    if (!notices_.Confirm(Message(kExportWarning), platform::Prompter::Buttons::YesNoDefaultNo)) {
        return;
    }
    const QString chosen =
        notices_.prompter().FileName(&notices_.window(), TitleOf(kExportCaption), true);
    if (chosen.isEmpty()) {
        return;
    }
    const auto toUtf8 = [this](const std::string& text) -> std::optional<std::string> {
        if (IsAscii(text)) {
            return text;
        }
        return ShownText(store_.Kind(), text).toUtf8().toStdString();
    };
    const CsvExport csv = ExportCsv(store_, session_.DataKey, toUtf8);
    // Written like the backup: owner-only, and never half a file in place of the old one.
    const IoResult written =
        ReplaceWhole(files_, QFile::encodeName(chosen).toStdString(), csv.text);
    if (!written) {
        notices_.Show(
            TitleOf(kExportCaption) + "\n" + chosen + "\n" + QString::fromStdString(written.reason),
            Notices::Kind::Error);
        return;
    }
    emit reported(Message(kMessageEntriesExported).arg(csv.entries));
}

void CsvCommands::MNU_Import_Click() {
    const QString chosen =
        notices_.prompter().FileName(&notices_.window(), TitleOf(kImportCaption), false);
    if (chosen.isEmpty()) {
        return;
    }
    QFile file(chosen);
    QString readError;
    if (!file.open(QIODevice::ReadOnly)) {
        readError = file.errorString();
    }
    // The file is read a piece at a time, so that a file of any size takes little memory and
    // the window stays responsive; until the records are written the import may be called off
    // with nothing changed.
    QProgressDialog progress(TitleOf(kImportCaption), Message(kCancelCaption), 0, kProgressEnd,
                             &notices_.window());
    progress.setObjectName(QStringLiteral("ImportProgress"));
    progress.setAccessibleName(TitleOf(kImportCaption));
    progress.setWindowTitle(TitleOf(kImportCaption));
    progress.setWindowModality(Qt::WindowModal);
    const qint64 fileSize = std::max<qint64>(file.size(), 1);
    qint64 readSoFar = 0;
    const auto fromStart = [&]() -> CsvReader::Source {
        if (readError.isEmpty() && !file.seek(0)) {
            readError = file.errorString();
        }
        readSoFar = 0;
        return [&](char* into, std::size_t room) -> std::size_t {
            if (!readError.isEmpty() || progress.wasCanceled()) {
                return 0;
            }
            const qint64 got = file.read(into, static_cast<qint64>(room));
            if (got < 0) {
                readError = file.errorString();
            }
            if (got <= 0) {
                return 0;
            }
            readSoFar = std::min(readSoFar + got, fileSize);
            progress.setValue(static_cast<int>(readSoFar * kReadingEnd / fileSize));
            QCoreApplication::processEvents();
            return static_cast<std::size_t>(got);
        };
    };
    const auto stopped = [&] {
        if (!readError.isEmpty()) {
            notices_.Show(Summary({}, {}, {}) + "\n" + chosen + "\n" + readError,
                          Notices::Kind::Error);
            return true;
        }
        return progress.wasCanceled();
    };

    // The free records are picked in the file as another computer may have left it.
    if (stopped() || !sync_.TakeChanges()) {
        return;
    }
    const auto toStored = [this](const std::string& utf8) -> std::optional<std::string> {
        if (IsAscii(utf8)) {
            return utf8;
        }
        return TypedText(store_.Kind(),
                         QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    };
    const auto planFrom = [&](CsvEntryReader& rows) {
        return PlanImport(
            store_, session_.DataKey, [&rows](CsvEntry& next) { return rows.Next(next); }, toStored,
            {session_.pw_Type, session_.pw_Case, session_.pw_NumChar}, random_);
    };
    CsvReader reading(fromStart());
    auto rows = std::make_unique<CsvEntryReader>(reading, CsvEntryReader::FirstEntrysRoot::Dropped);
    ImportPlan plan = planFrom(*rows);
    std::unique_ptr<CsvReader> readingAgain;
    bool stop = stopped();
    // Only a file whose first entry is under an exporter's root and a later one is not.
    if (!stop && rows->ExporterRoot() != rows->DroppedRoot()) {
        const std::string root = rows->ExporterRoot();
        readingAgain = std::make_unique<CsvReader>(fromStart());
        rows = std::make_unique<CsvEntryReader>(*readingAgain, root);
        plan = planFrom(*rows);
        stop = stopped();
    }
    if (stop) {
        return;
    }
    const ImportResult result = RunImport(plan, [this](RecordBatch& batch) {
        return store_.WriteRecords(std::move(batch), session_.DataFilePath);
    });
    progress.setValue(kProgressEnd);
    // One reload for the whole import.
    emit imported();

    const CsvRead read = rows->Read();
    QString report = Summary(read, plan, result);
    // The summary's first line holds the counts.
    emit reported(report.section('\n', 0, 0));
    if (!result.complete) {
        report = Message(kMessageWriteFailed) + "\n" +
                 QString::fromStdString(session_.DataFilePath) + "\n" + report;
    }
    notices_.Show(report, result.complete ? Notices::Kind::Information : Notices::Kind::Error);
}

}  // namespace keyrack
