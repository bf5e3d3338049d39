#pragma once

#include <QObject>
#include <string>

#include "store/BackupSchedule.h"

class QAction;
class QMenu;
class QTimer;

namespace keyrack {

class DataFileSync;
class FileIo;
class Notices;
class RecordStore;
struct Session;
namespace platform {
class Clock;
}

// The backup of the data file: the File menu's backup items, made on request or, with the
// automatic backup switched on, by the check timer once its period has passed; and restoring.
class BackupCommands : public QObject {
    Q_OBJECT

  public:
    BackupCommands(Session& session, RecordStore& store, DataFileSync& sync, FileIo& files,
                   platform::Clock& clock, Notices& notices, QMenu& fileMenu);

    static std::string BackupFilePath();

    void ApplyCaptions();
    // Shows the switch and period the data file holds and takes its last backup's date.
    void ReadSettings();
    // Checks now, then every little while.
    void StartChecking();

    // The menu handlers run after Qt has moved the clicked item's check mark.
    void MNU_Backup_Click();
    void MNU_RestoreBackup_Click();
    void MNU_AutoBackup_Click();
    void MNU_Month_Click();
    void MNU_Week_Click();
    void MNU_Day_Click();
    void Timer1_Timer();

  signals:
    // The data file was replaced by the backup: it must be opened again (the automatic backup
    // is still held back).
    void restored();
    // What a command did, for the status bar.
    void reported(const QString& text);

  private:
    bool CopyToBackup();
    void ReportBackupWritten();
    // Restoring a plain backup over a protected file is asked about first; false when declined.
    bool KeepsProtection();
    void ChooseBackupPeriod(const std::string& letter);
    void ShowBackupSettings(bool switchedOn, const std::string& period);
    // Stores the switch and period with the last backup date; on failure the menu and
    // BackupPeriod go back to what the file holds and the user is told.
    void StoreBackupSettings(bool switchedOn, const std::string& period, bool wasOn,
                             std::string wasPeriod);
    void StoreLastBackupDate();

    Session& session_;
    RecordStore& store_;
    DataFileSync& sync_;
    FileIo& files_;
    platform::Clock& clock_;
    Notices& notices_;
    QAction* MNU_AutoBackup = nullptr;
    QMenu* MNU_AutoBackupWhen = nullptr;
    QAction* MNU_Month = nullptr;
    QAction* MNU_Week = nullptr;
    QAction* MNU_Day = nullptr;
    QAction* MNU_Backup = nullptr;
    QAction* MNU_RestoreBackup = nullptr;
    QTimer* Timer1 = nullptr;
    // A failing automatic backup is reported once, until a backup succeeds again.
    bool autoBackupFailureShown_ = false;
    BackupHold backupHold_;
};

}  // namespace keyrack
