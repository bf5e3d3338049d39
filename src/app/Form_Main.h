#pragma once

#include <QFont>
#include <QIcon>
#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/CivilTime.h"
#include "login/IdleLock.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/OneShotTimer.h"
#include "platform/Prompter.h"
#include "platform/RandomSource.h"
#include "platform/SystemInfo.h"
#include "store/FileIo.h"
#include "store/RecordStore.h"
#include "tree/SearchState.h"
#include "tree/SecretClipboard.h"
#include "tree/TreeEdits.h"

class QAction;
class QLabel;
class QLineEdit;
class QLockFile;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace keyrack {

class EntryTree;
class frmAbout;
class frmLogin;

// The main window: the tree of groups and entries, the four detail boxes, the toolbar and the
// menus. It holds the state the program's parts share and runs the start-up in Form_Load.
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
    };

    explicit Form_Main(Services services, QWidget* parent = nullptr);
    ~Form_Main() override;

    // The start-up sequence. Returns false when the login did not succeed: the program then
    // ends without showing the window.
    bool Form_Load();
    // Tells the user, once the window is shown, about start-up changes that did not reach
    // the data file.
    void ReportStartupWriteFailure();

    // Shared state.
    RecordStore Store;
    std::string DataFilePath;
    int DataKey = 0;
    int RecordCount = 0;
    std::string EditMode;
    std::string BackupPeriod;
    CivilDateTime LastBackupDate;
    int SelectedIndex = -1;
    int SelectedTag = -2;
    int ParentTag = -2;
    QString SelectedText;
    std::string SelectedKey;
    std::string ParentKey;
    std::string pw_Type;
    std::string pw_Case;
    std::string pw_NumChar;
    QTreeWidgetItem* LastAddedNode = nullptr;

    // Controls, by the names the program's parts use.
    QTreeWidget* TreeView1 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    // Toolbar1Buttons[1..17]; separators are entries too, so indexes match the toolbar.
    std::array<QAction*, 18> Toolbar1Buttons = {};
    QLabel* StatusBar1Panels[3] = {};
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    // Shows the password in clear while browsing; in NEW and EDIT it is always in clear.
    QToolButton* ShowPassword = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command8 = nullptr;
    QMenu* MNU_File = nullptr;
    QAction* MNU_AutoBackup = nullptr;
    QMenu* MNU_AutoBackupWhen = nullptr;
    QAction* MNU_Month = nullptr;
    QAction* MNU_Week = nullptr;
    QAction* MNU_Day = nullptr;
    QAction* MNU_Backup = nullptr;
    QAction* MNU_RestoreBackup = nullptr;
    QAction* MNU_Bar1 = nullptr;
    QAction* MNU_Export = nullptr;
    QAction* MNU_Import = nullptr;
    QAction* MNU_Exit = nullptr;
    QAction* MNU_About = nullptr;
    QAction* MNU_Lock = nullptr;
    QMenu* MNU_LockAfter = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QLineEdit* txtSearch = nullptr;
    // Looks for a while without use.
    QTimer* TimerLock = nullptr;
    // The tree's pictures: [1] group, [2] entry.
    std::array<QIcon, 3> ImageList1;

    // Start-up pieces other parts call again.
    // Locks and loads the data file; false, after telling the user, when the program must end
    // (another instance has the file, it cannot be read, or it is an old file not converted).
    bool SetUp();
    void GetKey();
    void LoadPasswordList();
    void DisplayPWType();

    // Commands.
    void Toolbar1_ButtonClick(int index);
    void MNU_Exit_Click();
    void MNU_About_Click();
    void TreeView1_NodeClick(QTreeWidgetItem* node);

    // Backups. The menu handlers run after Qt has moved the clicked item's check mark.
    void MNU_Backup_Click();
    void MNU_RestoreBackup_Click();
    void MNU_AutoBackup_Click();
    void MNU_Month_Click();
    void MNU_Week_Click();
    void MNU_Day_Click();
    void Timer1_Timer();
    // Hides the data and asks for the login again; ends the program when it is not given.
    void MNU_Lock_Click();
    void TimerLock_Timer();
    bool Locked() const { return lock_.locked; }

    // Moving, renaming and deleting in the tree. A drop names the dragged node by its key;
    // target null is the empty area below the last node.
    bool TreeView1_MayDrop(const std::string& draggedKey, QTreeWidgetItem* target);
    void TreeView1_DragDrop(const std::string& draggedKey, QTreeWidgetItem* target);
    void TreeView1_DragOver(const QPoint& position);
    void TreeView1_AfterLabelEdit(QTreeWidgetItem* node, const QString& newString);
    void TreeView1_KeyUp(int keyCode);
    void Timer2_Timer();
    DragScroll ScrollDirection = DragScroll::None;

    // Entries out to and in from a CSV file.
    void MNU_Export_Click();
    void MNU_Import_Click();

    // The node with the given index in the order nodes were added (from 1), or null.
    QTreeWidgetItem* NodeAt(int index) const;
    QTreeWidgetItem* NodeWithKey(const std::string& key) const;
    static std::string NodeTag(const QTreeWidgetItem* node);
    static std::string NodeKey(const QTreeWidgetItem* node);
    static int NodeIndex(const QTreeWidgetItem* node);

    // Filters the tree by the search box's text now, instead of after the typing pause.
    void ApplySearchNow();
    // Keeps the node with this key visible until the search text changes.
    void KeepShownWhileSearching(const std::string& key);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    void BuildMenus();
    // Object names: the names the program's parts use for the controls.
    void NameControls();
    void BuildToolbar();
    void BuildStatusBar();
    void ApplyCaptions();
    // Names for screen readers, from the captions ApplyCaptions has set.
    void ApplyAccessibleNames();
    void RestoreAutoBackupMenu();
    void RestoreLastBackupDate();
    bool RunLogin();
    // Takes the data file's lock once per run; false when another instance holds it.
    bool LockDataFile();

    void NewEntry();
    void EditEntry();
    void DeleteEntry();
    void CancelEdit();
    void SaveEntry();
    void AddGroup();
    void OpenAddress();
    void CopyUserName();
    void CopyPassword();
    void CopyBox(const QLineEdit* box);

    // Locking.
    void BuildLockMenu();
    void ApplyLockCaptions();
    void StartIdleLock();
    void ShowLockMinutes(int minutes);
    void ChooseLockMinutes(int minutes);

    // The detail boxes.
    void SetUpCopyAndOpen();
    QWidget* BuildPasswordRow(QWidget* parent);
    void ConnectDetailBoxes();
    void Text1_LostFocus();
    // Handles every drag and drop event of Text2; returns true when the box must not see it.
    bool Text2_OLEDragDrop(QEvent* event);
    void ShowPasswordForMode();
    // Drops the toolbar's captions, keeping the pictures, when they do not all fit.
    void FitToolbarCaptions();
    void ChooseToolbarStyle();
    void Command6_Click();
    void Command8_Click();

    // The window's state for each mode: what is enabled, shown and focused.
    void EnterMode(const std::string& mode);
    void ReturnToBrowsing();
    void SetEntryButtonsEnabled(bool enabled);
    void SetBoxesEnabled(bool enabled);
    void ClearBoxes();
    // No node is shown: the selection members say so.
    void ForgetSelection();
    // No node is shown, nor anything of one: empty boxes and no entry commands.
    void ShowNothing();

    // Node creation and removal, keeping the index and key lookups in step.
    void ClearTree();
    // A node not yet in the tree, known by its index and key.
    QTreeWidgetItem* MakeNode(const std::string& key, const QString& text, const std::string& tag,
                              bool isGroup);
    QTreeWidgetItem* AddNode(const std::string& key, const std::string& parentKey,
                             const QString& text, const std::string& tag, bool isGroup);
    void RemoveNode(QTreeWidgetItem* node);
    void ShowNode(QTreeWidgetItem* node);

    void ConnectTreeEdits(EntryTree& tree);
    TreeNodeInfo NodeInfo(const QTreeWidgetItem* node) const;
    // The key a drag of node carries, empty when it may not be picked up.
    std::string PickUp(QTreeWidgetItem* node);
    DropDecision DecideDropOn(QTreeWidgetItem* dragged, QTreeWidgetItem* target);
    // Writes the node's record for its new parent; false, after telling the user, on failure.
    bool WriteMove(QTreeWidgetItem* node, const std::string& newParentKey);
    void MoveNode(QTreeWidgetItem* node, QTreeWidgetItem* newParent);

    // The group a new entry goes into: the shown group, or the group of the shown entry.
    std::string NewEntryParentKey() const;

    // A free record for a new group or entry, with the record count one higher in memory and
    // in the file; 0, after telling the user, when the file is full or the count could not
    // be written.
    int AllocateTreeRecord();

    // A message box with an OK button and the window's caption as title.
    void ShowMessage(const QString& text);
    // Tells the user that a write failed, naming the data file.
    void ReportWriteFailure();
    void ReportUnstorableValue(const QString& label);

    // Finding entries by typing (src/tree/Form_Main_Search.cpp).
    void BuildSearchBox();
    void ApplySearchCaptions();
    bool txtSearch_KeyPress(int key);
    void ApplySearch();
    void EndSearch();
    void TakeSearchTexts();
    SearchState search_;

    // Backups: the copy, the period items and the settings they keep in record 2.
    bool CopyToBackup();
    void ChooseBackupPeriod(const std::string& letter);
    void ShowBackupSettings(bool switchedOn, const std::string& period);
    // Stores the switch and period with the last backup date; on failure the menu and
    // BackupPeriod go back to what the file holds and the user is told.
    void StoreBackupSettings(bool switchedOn, const std::string& period, bool wasOn,
                             std::string wasPeriod);
    void StoreLastBackupDate();
    void ShowFileFailure(int message, const std::string& path, const std::string& reason);

    void BuildCsvMenu();
    void ApplyCsvCaptions();

    Services services_;
    std::unique_ptr<QLockFile> dataFileLock_;
    std::unique_ptr<platform::Clipboard> systemClipboard_;
    std::unique_ptr<platform::OneShotTimer> systemClipboardTimer_;
    std::unique_ptr<platform::Desktop> systemDesktop_;
    std::unique_ptr<SecretClipboard> clipboard_;
    int toolbarTextWidth_ = 0;
    LockState lock_;
    // Event handlers on controls and on the application; they go before the window does.
    std::vector<QObject*> eventHooks_;
    bool startupWriteFailed_ = false;
    // A failing automatic backup is reported once, until a backup succeeds again.
    bool autoBackupFailureShown_ = false;
    QFont boldFont_;
    std::vector<QTreeWidgetItem*> nodesByIndex_;
    std::unordered_map<std::string, QTreeWidgetItem*> nodesByKey_;
};

}  // namespace keyrack
