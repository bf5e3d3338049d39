#pragma once

#include <QMainWindow>
#include <optional>

#include "app/WindowServices.h"
#include "common/Notices.h"
#include "common/Session.h"
#include "store/DataFileOpening.h"
#include "store/RecordStore.h"

class QMenu;

namespace keyrack {

class AboutCommand;
class BackupCommands;
class CsvCommands;
class DataFileSync;
class DetailsPane;
class EntryMenu;
class FileLogin;
class LockGuard;
class LoginCommands;
class MainLayout;
class MainToolbar;
class StatusReport;
class TreePane;

// The main window, built from its parts: the tree, the detail boxes, the toolbar and the menus'
// commands. It runs the start-up, owns the edit modes and dispatches the toolbar's commands.
class Form_Main : public QMainWindow {
    Q_OBJECT

  public:
    using Services = WindowServices;

    explicit Form_Main(Services services, QWidget* parent = nullptr);

    // The start-up sequence. Returns false when the login did not succeed: the program then
    // ends without showing the window.
    bool Form_Load();
    // Tells the user, once the window is shown, about start-up changes that did not reach
    // the data file.
    void ReportStartupWriteFailure();

    // For what looks at the window from outside: tests and the screenshot.
    const Session& session() const { return session_; }
    const RecordStore& store() const { return store_; }
    TreePane& tree() const { return *tree_; }

    void Toolbar1_ButtonClick(int index);
    void MNU_Exit_Click();

  protected:
    // Asks what becomes of an entry being edited, unless locked: the boxes then hold nothing
    // to save, and the question would hide behind the login.
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildFileMenu();
    // The parts a login does not need, once it succeeded.
    void BuildWindow();
    void ConnectLoginParts();
    void ConnectParts();
    void ApplyCaptions();
    // Opens the data file again after a backup replaced it.
    void ReopenRestoredFile();
    // Builds the tree again after the store read the file anew.
    void ShowReloadedTree();
    void ShowSelection();
    // Builds the tree again after the store loaded what another program wrote.
    void ShowChangesFromDisk();
    // While locked, nothing of the data is in sight.
    void HideData(bool hidden);

    // The edit modes: what is enabled, shown and focused.
    void EnterMode(const std::string& mode);
    void ReturnToBrowsing();
    void CancelEdit();
    void SaveEntry();
    // Writes the boxes' entry for the edit mode: the record written or cleared (0 when there
    // was nothing to write); nothing, after telling the user, on failure.
    std::optional<int> WriteEntry();
    void SetEntryButtonsEnabled(bool enabled);

    Services services_;
    RecordStore store_;
    Session session_;
    Notices notices_{services_.prompter, *this, session_};
    DataFileOpening opening_{session_, store_, services_.files, services_.random, notices_};

    QMenu* MNU_File = nullptr;
    QAction* MNU_Exit = nullptr;
    DataFileSync* sync_ = nullptr;
    MainToolbar* toolbar_ = nullptr;
    TreePane* tree_ = nullptr;
    MainLayout* layout_ = nullptr;
    DetailsPane* details_ = nullptr;
    BackupCommands* backups_ = nullptr;
    CsvCommands* csv_ = nullptr;
    LockGuard* lockGuard_ = nullptr;
    LoginCommands* loginCommands_ = nullptr;
    FileLogin* fileLogin_ = nullptr;
    AboutCommand* about_ = nullptr;
    EntryMenu* entryMenu_ = nullptr;
    StatusReport* status_ = nullptr;
};

}  // namespace keyrack
