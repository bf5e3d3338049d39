#pragma once

#include <QFont>
#include <QIcon>
#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/CivilTime.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "platform/RandomSource.h"
#include "store/FileIo.h"
#include "store/RecordStore.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace keyrack {

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
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    // The tree's pictures: [1] group, [2] entry.
    std::array<QIcon, 3> ImageList1;

    // Start-up pieces other parts call again.
    void SetUp();
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

    // Entries out to and in from a CSV file.
    void MNU_Export_Click();
    void MNU_Import_Click();

    // The node with the given index in the order nodes were added (from 1), or null.
    QTreeWidgetItem* NodeAt(int index) const;
    QTreeWidgetItem* NodeWithKey(const std::string& key) const;
    static std::string NodeTag(const QTreeWidgetItem* node);
    static std::string NodeKey(const QTreeWidgetItem* node);
    static int NodeIndex(const QTreeWidgetItem* node);

  private:
    void BuildControls();
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusBar();
    void ApplyCaptions();
    void RestoreAutoBackupMenu();
    void RestoreLastBackupDate();
    bool RunLogin();

    void NewEntry();
    void EditEntry();
    void DeleteEntry();
    void CancelEdit();
    void SaveEntry();
    void AddGroup();
    void OpenAddress();
    void CopyUserName();
    void CopyPassword();
    void Command6_Click();
    void Command8_Click();

    // The window's state for each mode: what is enabled, shown and focused.
    void EnterMode(const std::string& mode);
    void ReturnToBrowsing();
    void SetEntryButtonsEnabled(bool enabled);
    void SetBoxesEnabled(bool enabled);
    void ClearBoxes();

    // Node creation and removal, keeping the index and key lookups in step.
    void ClearTree();
    // A node not yet in the tree, known by its index and key.
    QTreeWidgetItem* MakeNode(const std::string& key, const QString& text, const std::string& tag,
                              bool isGroup);
    QTreeWidgetItem* AddNode(const std::string& key, const std::string& parentKey,
                             const QString& text, const std::string& tag, bool isGroup);
    void RemoveNode(QTreeWidgetItem* node);
    void ShowNode(QTreeWidgetItem* node);
    // A drop that a node click completes; returns whether the click was taken by a move.
    bool CompletePendingMove(QTreeWidgetItem* target);
    void ClearPendingMove();

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
    bool startupWriteFailed_ = false;
    // A failing automatic backup is reported once, until a backup succeeds again.
    bool autoBackupFailureShown_ = false;
    QFont boldFont_;
    std::vector<QTreeWidgetItem*> nodesByIndex_;
    std::unordered_map<std::string, QTreeWidgetItem*> nodesByKey_;
};

}  // namespace keyrack
