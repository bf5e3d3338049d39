#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

#include "common/Notices.h"
#include "common/Session.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/OneShotTimer.h"
#include "platform/Prompter.h"
#include "platform/RandomSource.h"
#include "platform/SystemInfo.h"
#include "store/DataFileLock.h"
#include "store/FileIo.h"
#include "store/ProtectedFile.h"
#include "store/RecordStore.h"

class QLabel;
class QMenu;

namespace keyrack {

class AboutCommand;
class BackupCommands;
class CsvCommands;
class DataFileSync;
class DetailsPane;
class EntryMenu;
class LockGuard;
class LoginCommands;
class MainLayout;
class MainToolbar;
class StatusReport;
class TreePane;
class frmAbout;
class frmLogin;

// The main window, built from its parts: the tree, the detail boxes, the toolbar and the menus'
// commands. It runs the start-up, owns the edit modes and dispatches the toolbar's commands.
class Form_Main : public QMainWindow {
    Q_OBJECT

  public:
    // What the window takes from the system; tests give their own.
    struct Services {
        platform::Prompter& prompter;
        platform::RandomSource& random;
        platform::Clock& clock;
        // Shows the login dialog modally and returns when it has closed.
        std::function<void(frmLogin&)> runLogin;
        // Every read, write and copy of the program's files.
        FileIo& files;
        // What the About box asks of the system.
        platform::SystemInfo& systemInfo;
        // Shows the About box modally and returns when it has closed.
        std::function<void(frmAbout&)> runAbout;
        // Left null, the window uses the system's own.
        platform::Clipboard* clipboard = nullptr;
        platform::OneShotTimer* clipboardTimer = nullptr;
        platform::Desktop* desktop = nullptr;
        // The key derivation's cost for a file protected from now on.
        KdfParams kdf = KdfParams::Default();
    };

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
    void BuildMenus();
    void BuildStatusBar();
    void ConnectParts();
    void ApplyCaptions();
    // Locks and loads the data file; false, after telling the user, when the program must end.
    bool SetUp();
    // Asks whether a data file of the old format may be converted.
    std::function<bool()> ConversionQuestion();
    bool RunLogin();
    // The login dialog opens a protected file with what is typed.
    bool RunProtectedLogin();
    // After the set-up: the new pair protects the file, if the user agrees. False when the
    // file stays plain.
    bool OfferProtection(const frmLogin& login);
    // The file became protected, or a protected one was opened: the lock and the menu follow.
    void FollowProtectedFile(const std::string& hint);
    // Opens the protected file with a typed pair, for the login and the lock.
    std::function<bool(const std::string&, const std::string&)> ProtectedOpener();
    // A protected file the load left locked is opened by a login; a plain one is ready.
    bool OpenLoaded(const LoadResult& loaded);
    void GetKey();
    // Opens the data file again after a backup replaced it.
    void ReopenRestoredFile();
    // Loads the restored file, or else the file it replaced; false when the program ends.
    bool LoadRestoredFile();
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
    DataFileLock dataFileLock_;
    bool startupWriteFailed_ = false;

    QMenu* MNU_File = nullptr;
    QAction* MNU_Exit = nullptr;
    QLabel* StatusBar1Panels[3] = {};
    DataFileSync* sync_ = nullptr;
    MainToolbar* toolbar_ = nullptr;
    TreePane* tree_ = nullptr;
    MainLayout* layout_ = nullptr;
    DetailsPane* details_ = nullptr;
    BackupCommands* backups_ = nullptr;
    CsvCommands* csv_ = nullptr;
    LockGuard* lockGuard_ = nullptr;
    LoginCommands* loginCommands_ = nullptr;
    AboutCommand* about_ = nullptr;
    EntryMenu* entryMenu_ = nullptr;
    StatusReport* status_ = nullptr;
};

}  // namespace keyrack
