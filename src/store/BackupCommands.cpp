// The backup of the data file: made on request or when its period has passed, and restored.
#include "store/BackupCommands.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>

#include "common/Notices.h"
#include "common/ObjectNames.h"
#include "common/Session.h"
#include "common/StatusMessages.h"
#include "common/Strings.h"
#include "lang/Messages.h"
#include "platform/Clock.h"
#include "store/AppPath.h"
#include "store/BackupDate.h"
#include "store/BackupSchedule.h"
#include "store/DataFileSync.h"
#include "store/ProtectedFile.h"
#include "store/RecordStore.h"
#include "store/Restore.h"
#include "store/ValueCodec.h"

namespace keyrack {

namespace {

constexpr int kBackupCheckMs = 36000;
constexpr int kSettingsRecord = 2;
constexpr int kSwitchField = 5;
constexpr int kDateField = 6;
constexpr int kSettingWidth = 40;
constexpr int kMessageBackupFailed = 56;
constexpr int kMessageRestoreFailed = 57;
constexpr int kMessageRestoreQuestion = 59;

}  // namespace

std::string BackupCommands::BackupFilePath() {
    return GetAppPath() + "cli2.rkd";
}

BackupCommands::BackupCommands(Session& session, RecordStore& store, DataFileSync& sync,
                               FileIo& files, platform::Clock& clock, Notices& notices,
                               QMenu& fileMenu)
    : QObject(&fileMenu),
      session_(session),
      store_(store),
      sync_(sync),
      files_(files),
      clock_(clock),
      notices_(notices) {
    setObjectName(QStringLiteral("BackupCommands"));
    MNU_AutoBackup = fileMenu.addAction(QStringLiteral("Auto Backup"));
    MNU_AutoBackup->setCheckable(true);
    MNU_AutoBackupWhen = fileMenu.addMenu(QStringLiteral("Auto Backup When"));
    MNU_Month = MNU_AutoBackupWhen->addAction(QStringLiteral("Month"));
    MNU_Week = MNU_AutoBackupWhen->addAction(QStringLiteral("Week"));
    MNU_Day = MNU_AutoBackupWhen->addAction(QStringLiteral("Day"));
    for (QAction* period : {MNU_Month, MNU_Week, MNU_Day}) {
        period->setCheckable(true);
    }
    MNU_Backup = fileMenu.addAction(QStringLiteral("Backup Now"));
    MNU_RestoreBackup = fileMenu.addAction(QStringLiteral("Restore the Backup"));
    Timer1 = new QTimer(this);
    Timer1->setInterval(kBackupCheckMs);
    GiveObjectNames({{MNU_AutoBackup, "MNU_AutoBackup"},
                     {MNU_AutoBackupWhen, "MNU_AutoBackupWhen"},
                     {MNU_Month, "MNU_Month"},
                     {MNU_Week, "MNU_Week"},
                     {MNU_Day, "MNU_Day"},
                     {MNU_Backup, "MNU_Backup"},
                     {MNU_RestoreBackup, "MNU_RestoreBackup"},
                     {Timer1, "Timer1"}});
    connect(MNU_AutoBackup, &QAction::triggered, this, &BackupCommands::MNU_AutoBackup_Click);
    connect(MNU_Month, &QAction::triggered, this, &BackupCommands::MNU_Month_Click);
    connect(MNU_Week, &QAction::triggered, this, &BackupCommands::MNU_Week_Click);
    connect(MNU_Day, &QAction::triggered, this, &BackupCommands::MNU_Day_Click);
    connect(MNU_Backup, &QAction::triggered, this, &BackupCommands::MNU_Backup_Click);
    connect(MNU_RestoreBackup, &QAction::triggered, this, &BackupCommands::MNU_RestoreBackup_Click);
    connect(Timer1, &QTimer::timeout, this, &BackupCommands::Timer1_Timer);
}

void BackupCommands::ApplyCaptions() {
    MNU_AutoBackup->setText(Message(36));
    MNU_AutoBackupWhen->setTitle(Message(37));
    MNU_Month->setText(Message(38));
    MNU_Week->setText(Message(39));
    MNU_Day->setText(Message(40));
    MNU_Backup->setText(Message(41));
    MNU_RestoreBackup->setText(Message(42));
}

void BackupCommands::ReadSettings() {
    const auto stored = [this](int field) {
        return ReadValue(store_, field, kSettingsRecord, session_.DataKey);
    };
    const std::string setting = stored(kSwitchField);
    if (!Trim(setting).empty()) {
        const std::string period = Trim(setting).size() > 1 ? setting.substr(1, 1) : std::string();
        MNU_AutoBackup->setChecked(setting[0] == 'Y');
        session_.BackupPeriod = period;
        // A letter the menu does not know leaves the period items as they are.
        if (period == "D" || period == "W" || period == "M") {
            ShowBackupSettings(setting[0] == 'Y', period);
        }
    }
    session_.LastBackupDate = StoredBackupDate(stored(kDateField));
}

void BackupCommands::StartChecking() {
    Timer1_Timer();
    // The checks run from the event loop, once the window is up.
    Timer1->start();
}

bool BackupCommands::CopyToBackup() {
    const IoResult copied = CopyWhole(files_, session_.DataFilePath, BackupFilePath());
    if (!copied) {
        notices_.FileFailed(kMessageBackupFailed, BackupFilePath(), copied.reason);
    }
    return copied.ok;
}

void BackupCommands::StoreLastBackupDate() {
    FieldValues fields;
    fields[kDateField - 1] = EncodeFor(store_.Kind(), FormatBackupDate(session_.LastBackupDate),
                                       session_.DataKey, false, kSettingWidth);
    sync_.Write(fields, kSettingsRecord);
}

void BackupCommands::MNU_Backup_Click() {
    // The copy comes first, so the backup holds the date of the backup before it.
    if (!CopyToBackup()) {
        return;
    }
    autoBackupFailureShown_ = false;
    session_.LastBackupDate = clock_.Now();
    StoreLastBackupDate();
    ReportBackupWritten();
}

void BackupCommands::ReportBackupWritten() {
    emit reported(Message(kMessageBackupWritten).arg(QString::fromStdString(BackupFilePath())));
}

void BackupCommands::Timer1_Timer() {
    // The timer also fires inside a question's event loop.
    if (backupHold_.Held() || QApplication::activeModalWidget() != nullptr) {
        return;
    }
    const CivilDateTime now = clock_.Now();
    if (!BackupDue(MNU_AutoBackup->isChecked(), session_.BackupPeriod, session_.LastBackupDate,
                   now)) {
        return;
    }
    const IoResult copied = CopyWhole(files_, session_.DataFilePath, BackupFilePath());
    if (!copied) {
        // The date stays, so the next tick tries again; the user hears of it once.
        if (!autoBackupFailureShown_) {
            autoBackupFailureShown_ = true;
            notices_.FileFailed(kMessageBackupFailed, BackupFilePath(), copied.reason);
        }
        return;
    }
    autoBackupFailureShown_ = false;
    session_.LastBackupDate = now;
    StoreLastBackupDate();
    ReportBackupWritten();
}

void BackupCommands::MNU_RestoreBackup_Click() {
    // An automatic backup now would copy the current file over the one about to be restored.
    const auto hold = backupHold_.Hold();
    if (!notices_.Confirm(Message(kMessageRestoreQuestion),
                          platform::Prompter::Buttons::YesNoDefaultNo)) {
        return;
    }
    if (!KeepsProtection()) {
        return;
    }
    RestoreResult result = RestoreBackup(files_, BackupFilePath(), session_.DataFilePath);
    if (!result) {
        notices_.FileFailed(kMessageRestoreFailed, result.path, result.reason);
        return;
    }
    store_.ExpectLoad(std::move(result.written));
    emit restored();
}

bool BackupCommands::KeepsProtection() {
    std::string backup;
    if (store_.Kind() != FileKind::Protected || !files_.ReadAll(BackupFilePath(), backup) ||
        IsProtectedFile(backup)) {
        return true;
    }
    return notices_.Confirm(Message(kMessageRestoreUnprotects),
                            platform::Prompter::Buttons::YesNoDefaultNo);
}

void BackupCommands::ShowBackupSettings(bool switchedOn, const std::string& period) {
    MNU_AutoBackup->setChecked(switchedOn);
    session_.BackupPeriod = period;
    MNU_Day->setChecked(period == "D");
    MNU_Week->setChecked(period == "W");
    MNU_Month->setChecked(period == "M");
}

void BackupCommands::StoreBackupSettings(bool switchedOn, const std::string& period, bool wasOn,
                                         std::string wasPeriod) {
    ShowBackupSettings(switchedOn, period);
    FieldValues fields;
    fields[kSwitchField - 1] = EncodeFor(store_.Kind(), BackupSettingText(switchedOn, period),
                                         session_.DataKey, false, kSettingWidth);
    fields[kDateField - 1] = EncodeFor(store_.Kind(), FormatBackupDate(session_.LastBackupDate),
                                       session_.DataKey, false, kSettingWidth);
    if (sync_.Write(fields, kSettingsRecord) == DataFileSync::WriteResult::NotWritten) {
        ShowBackupSettings(wasOn, wasPeriod);
    }
}

void BackupCommands::MNU_AutoBackup_Click() {
    const bool switchedOn = MNU_AutoBackup->isChecked();
    // A switch without a period would never back anything up.
    const bool periodChosen = session_.BackupPeriod == "D" || session_.BackupPeriod == "W" ||
                              session_.BackupPeriod == "M";
    const std::string period = switchedOn && !periodChosen ? "W" : session_.BackupPeriod;
    StoreBackupSettings(switchedOn, period, !switchedOn, session_.BackupPeriod);
}

void BackupCommands::ChooseBackupPeriod(const std::string& letter) {
    const bool switchedOn = MNU_AutoBackup->isChecked();
    StoreBackupSettings(switchedOn, ChosenBackupPeriod(session_.BackupPeriod, letter), switchedOn,
                        session_.BackupPeriod);
}

void BackupCommands::MNU_Month_Click() {
    ChooseBackupPeriod("M");
}

void BackupCommands::MNU_Week_Click() {
    ChooseBackupPeriod("W");
}

void BackupCommands::MNU_Day_Click() {
    ChooseBackupPeriod("D");
}

}  // namespace keyrack
