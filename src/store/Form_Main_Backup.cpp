// The backup of the data file: made on request or when its period has passed, and restored.
#include <QAction>

#include "app/Form_Main.h"
#include "lang/Messages.h"
#include "store/AppPath.h"
#include "store/BackupDate.h"
#include "store/BackupSchedule.h"
#include "store/ValueCipher.h"

namespace keyrack {

namespace {

constexpr int kSettingsRecord = 2;
constexpr int kSwitchField = 5;
constexpr int kDateField = 6;
constexpr int kSettingWidth = 40;
constexpr int kMessageBackupFailed = 56;
constexpr int kMessageRestoreFailed = 57;
constexpr int kMessageRestoreQuestion = 59;

std::string BackupFilePath() {
    return GetAppPath() + "cli2.rkd";
}

// A file that can be a data file: records only, and at least one.
bool LooksLikeDataFile(const std::string& content) {
    return !content.empty() && content.size() % RecordLength == 0;
}

}  // namespace

void Form_Main::ShowFileFailure(int message, const std::string& path, const std::string& reason) {
    QString text = Message(message) + "\n" + QString::fromStdString(path);
    if (!reason.empty()) {
        text += "\n" + QString::fromStdString(reason);
    }
    ShowMessage(text);
}

bool Form_Main::CopyToBackup() {
    const IoResult copied = CopyWhole(services_.files, DataFilePath, BackupFilePath());
    if (!copied) {
        ShowFileFailure(kMessageBackupFailed, BackupFilePath(), copied.reason);
    }
    return copied.ok;
}

void Form_Main::StoreLastBackupDate() {
    FieldValues fields;
    fields[kDateField - 1] =
        EncodeValue(FormatBackupDate(LastBackupDate), DataKey, false, kSettingWidth);
    if (!Store.WriteRecord(fields, kSettingsRecord, DataFilePath, false)) {
        ReportWriteFailure();
    }
}

void Form_Main::MNU_Backup_Click() {
    // The copy comes first, so the backup holds the date of the backup before it.
    if (!CopyToBackup()) {
        return;
    }
    autoBackupFailureShown_ = false;
    LastBackupDate = services_.clock.Now();
    StoreLastBackupDate();
}

void Form_Main::Timer1_Timer() {
    const CivilDateTime now = services_.clock.Now();
    if (!BackupDue(MNU_AutoBackup->isChecked(), BackupPeriod, LastBackupDate, now)) {
        return;
    }
    const IoResult copied = CopyWhole(services_.files, DataFilePath, BackupFilePath());
    if (!copied) {
        // The date stays, so the next tick tries again; the user hears of it once.
        if (!autoBackupFailureShown_) {
            autoBackupFailureShown_ = true;
            ShowFileFailure(kMessageBackupFailed, BackupFilePath(), copied.reason);
        }
        return;
    }
    autoBackupFailureShown_ = false;
    LastBackupDate = now;
    StoreLastBackupDate();
}

void Form_Main::MNU_RestoreBackup_Click() {
    const auto answer =
        services_.prompter.MessageBox(this, Message(kMessageRestoreQuestion),
                                      platform::Prompter::Buttons::YesNoDefaultNo, windowTitle());
    if (answer != platform::Prompter::Answer::Yes) {
        return;
    }
    std::string content;
    IoResult restored = services_.files.ReadAll(BackupFilePath(), content);
    if (restored && !LooksLikeDataFile(content)) {
        restored = IoResult::Failure(std::string());
    }
    if (restored) {
        restored = ReplaceWhole(services_.files, DataFilePath, content);
    }
    if (!restored) {
        ShowFileFailure(kMessageRestoreFailed, BackupFilePath(), restored.reason);
        return;
    }
    SetUp();
    // The backup may come from a data file made anew since, with a key of its own. A key the
    // restored file lacked, and that could not be stored, is reported as at start-up.
    GetKey();
    ReportStartupWriteFailure();
    LoadPasswordList();
    if (NodeAt(1) == nullptr) {
        // Nothing to show: the boxes must not keep an entry of the replaced file.
        ShowNothing();
    }
}

void Form_Main::ShowBackupSettings(bool switchedOn, const std::string& period) {
    MNU_AutoBackup->setChecked(switchedOn);
    BackupPeriod = period;
    MNU_Day->setChecked(period == "D");
    MNU_Week->setChecked(period == "W");
    MNU_Month->setChecked(period == "M");
}

void Form_Main::StoreBackupSettings(bool switchedOn, const std::string& period, bool wasOn,
                                    std::string wasPeriod) {
    ShowBackupSettings(switchedOn, period);
    FieldValues fields;
    fields[kSwitchField - 1] =
        EncodeValue(BackupSettingText(switchedOn, period), DataKey, false, kSettingWidth);
    fields[kDateField - 1] =
        EncodeValue(FormatBackupDate(LastBackupDate), DataKey, false, kSettingWidth);
    if (!Store.WriteRecord(fields, kSettingsRecord, DataFilePath, false)) {
        ShowBackupSettings(wasOn, wasPeriod);
        ReportWriteFailure();
    }
}

void Form_Main::MNU_AutoBackup_Click() {
    const bool switchedOn = MNU_AutoBackup->isChecked();
    StoreBackupSettings(switchedOn, BackupPeriod, !switchedOn, BackupPeriod);
}

void Form_Main::ChooseBackupPeriod(const std::string& letter) {
    const bool switchedOn = MNU_AutoBackup->isChecked();
    StoreBackupSettings(switchedOn, ChosenBackupPeriod(BackupPeriod, letter), switchedOn,
                        BackupPeriod);
}

void Form_Main::MNU_Month_Click() {
    ChooseBackupPeriod("M");
}

void Form_Main::MNU_Week_Click() {
    ChooseBackupPeriod("W");
}

void Form_Main::MNU_Day_Click() {
    ChooseBackupPeriod("D");
}

}  // namespace keyrack
