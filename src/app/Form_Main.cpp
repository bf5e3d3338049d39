#include "app/Form_Main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <map>
#include <utility>

#include "about/AboutCommand.h"
#include "app/EditOnClose.h"
#include "app/EntryMenu.h"
#include "app/MainLayout.h"
#include "app/MainToolbar.h"
#include "app/StatusReport.h"
#include "common/Notices.h"
#include "common/StatusMessages.h"
#include "lang/LangFunctions.h"
#include "lang/Messages.h"
#include "lang/QtTranslations.h"
#include "login/FileLogin.h"
#include "login/LockGuard.h"
#include "login/LoginCommands.h"
#include "store/BackupCommands.h"
#include "store/CsvCommands.h"
#include "store/DataFileSync.h"
#include "store/EntryRecord.h"
#include "store/ValueCodec.h"
#include "store/ValueText.h"
#include "tree/DetailsPane.h"
#include "tree/NodeKeys.h"
#include "tree/TreePane.h"

namespace keyrack {

namespace {

constexpr int kMessageChangesLoaded = 77;

// The buttons that act on the shown entry.
constexpr std::initializer_list<int> kEntryButtons = {MainToolbar::Edit, MainToolbar::Delete,
                                                      MainToolbar::Open, MainToolbar::CopyUserName,
                                                      MainToolbar::CopyPassword};

}  // namespace

// Only what the login needs is built before it: the rest of the window, which a login that
// fails never shows, would delay the login window's appearance.
Form_Main::Form_Main(Services services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), store_(services_.files) {
    setWindowTitle(QStringLiteral("Keyrack"));
    setObjectName(QStringLiteral("Form_Main"));
    sync_ = new DataFileSync(session_, store_, services_.files, services_.random, notices_, this);
    BuildFileMenu();
    ConnectLoginParts();
}

void Form_Main::BuildFileMenu() {
    // Put in the menu bar with the rest of the window.
    MNU_File = new QMenu(QStringLiteral("File"), this);
    MNU_File->setObjectName(QStringLiteral("MNU_File"));
    backups_ = new BackupCommands(session_, store_, *sync_, services_.files, services_.clock,
                                  notices_, *MNU_File);
    csv_ = new CsvCommands(session_, store_, *sync_, services_.files, services_.random, notices_,
                           *MNU_File);
    loginCommands_ = new LoginCommands(session_, store_, *sync_, services_.files, notices_,
                                       services_.kdf, *MNU_File);
    MNU_File->addSeparator()->setObjectName(QStringLiteral("MNU_Bar1"));
    lockGuard_ = new LockGuard(services_.prompter, services_.clock, services_.runLogin, session_,
                               *this, *MNU_File);
    MNU_Exit = MNU_File->addAction(QStringLiteral("Exit"));
    MNU_Exit->setObjectName(QStringLiteral("MNU_Exit"));
    fileLogin_ = new FileLogin(services_.runLogin, services_.files, services_.random, session_,
                               store_, notices_, {opening_, *lockGuard_, *loginCommands_});
}

void Form_Main::BuildWindow() {
    menuBar()->addMenu(MNU_File);
    about_ =
        new AboutCommand(services_.prompter, services_.systemInfo, services_.runAbout, *menuBar());
    toolbar_ = new MainToolbar(*this);
    auto* central = new QWidget(this);
    tree_ = new TreePane(session_, store_, *sync_, notices_, services_.random, central, central);
    const DetailsPane::Services detailServices{services_.clipboard, services_.clipboardTimer,
                                               services_.desktop, services_.random};
    details_ = new DetailsPane(session_, store_, notices_, detailServices, central);
    layout_ = new MainLayout(*this, *central, *tree_->searchBox(), *tree_->view(),
                             *details_->column(), details_->FocusStops());
    setCentralWidget(central);
    entryMenu_ = new EntryMenu(*menuBar(), *MNU_File, *toolbar_, *tree_, session_);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    status_ = new StatusReport(*statusBar());
    ConnectParts();
}

void Form_Main::ConnectLoginParts() {
    connect(MNU_Exit, &QAction::triggered, this, &Form_Main::MNU_Exit_Click);
    connect(lockGuard_, &LockGuard::loginRefused, this, &Form_Main::MNU_Exit_Click);
    connect(loginCommands_, &LoginCommands::plainLoginChanged, lockGuard_, &LockGuard::Remember);
    // A new user may protect the file during the login, before the tree is built.
    connect(loginCommands_, &LoginCommands::fileProtected, this, [this] {
        if (!fileLogin_->FollowNewlyProtected()) {
            MNU_Exit_Click();
            return;
        }
        if (tree_ != nullptr) {
            tree_->LoadKeepingView();
        }
    });
}

void Form_Main::ConnectParts() {
    connect(toolbar_, &MainToolbar::clicked, this, &Form_Main::Toolbar1_ButtonClick);
    connect(tree_, &TreePane::nodeShown, this, &Form_Main::ShowSelection);
    connect(backups_, &BackupCommands::restored, this, &Form_Main::ReopenRestoredFile);
    connect(csv_, &CsvCommands::imported, tree_, &TreePane::LoadPasswordList);
    connect(lockGuard_, &LockGuard::dataHidden, this, &Form_Main::HideData);
    connect(sync_, &DataFileSync::storeReloaded, this, &Form_Main::ShowChangesFromDisk);
    status_->Follow(tree_, details_, backups_, csv_, fileLogin_);
}

bool Form_Main::Form_Load() {
    LangFunctions::LoadMessages();
    LangFunctions::DetectLanguage();
    InstallQtTranslations(LangFunctions::CurrentLanguage);
    if (!opening_.LockAndLoad() || !fileLogin_->Run()) {
        return false;
    }
    BuildWindow();
    layout_->Restore();
    opening_.GetKey();
    tree_->LoadPasswordList();
    backups_->ReadSettings();
    ApplyCaptions();
    details_->DisplayPWType();
    backups_->StartChecking();
    lockGuard_->StartIdleLock();
    sync_->StartWatching();
    return true;
}

void Form_Main::ReopenRestoredFile() {
    if (!fileLogin_->ReopenRestored()) {
        MNU_Exit_Click();
        return;
    }
    ShowReloadedTree();
}

void Form_Main::ShowReloadedTree() {
    tree_->LoadKeepingView();
    if (tree_->Empty()) {
        // Nothing to show: the boxes must not keep an entry of the replaced file.
        tree_->ShowNothing();
    }
}

void Form_Main::ShowChangesFromDisk() {
    backups_->ReadSettings();
    ShowReloadedTree();
    status_->SetPanelText(Message(kMessageChangesLoaded));
}

void Form_Main::ApplyCaptions() {
    setWindowTitle(Message(24));
    MNU_File->setTitle(Message(35));
    MNU_Exit->setText(Message(43));
    tree_->ApplyCaptions();
    details_->ApplyCaptions();
    backups_->ApplyCaptions();
    csv_->ApplyCaptions();
    lockGuard_->ApplyCaptions();
    loginCommands_->ApplyCaptions();
    loginCommands_->FollowFileKind();
    about_->ApplyCaptions();
    toolbar_->ApplyCaptions();
    entryMenu_->ApplyCaptions();
    tree_->view()->setAccessibleName(Message(14));
}

void Form_Main::ReportStartupWriteFailure() {
    opening_.ReportWriteFailure();
}

void Form_Main::ShowSelection() {
    details_->ShowSelected();
    SetEntryButtonsEnabled(session_.SelectedTag >= 0);
}

void Form_Main::SetEntryButtonsEnabled(bool enabled) {
    toolbar_->SetEnabled(kEntryButtons, enabled);
}

void Form_Main::HideData(bool hidden) {
    if (hidden) {
        tree_->StopDragScroll();
        details_->ForgetCopy();
        status_->Show(Message(kMessageLocked));
    } else {
        tree_->Reveal();
        details_->Reveal();
    }
    sync_->SetLocked(hidden);
    centralWidget()->setVisible(!hidden);
    toolbar_->bar()->setVisible(!hidden);
    menuBar()->setEnabled(!hidden);
    if (hidden) {
        // Hidden is not enough: the accessibility interface reads hidden widgets too. Emptied
        // once hidden, so a title being edited loses its focus with its text still in it.
        tree_->Conceal();
        details_->Conceal();
        // A protected file's key and records leave memory; unlocking opens the file again.
        if (store_.Kind() == FileKind::Protected) {
            store_.Lock();
        }
    }
}

void Form_Main::Toolbar1_ButtonClick(int index) {
    if (index < 1 || index > 17 || !toolbar_->button(index)->isEnabled()) {
        return;
    }
    const std::map<int, std::function<void()>> commands = {
        {MainToolbar::Exit, [this] { MNU_Exit_Click(); }},
        {MainToolbar::New, [this] { EnterMode("NEW"); }},
        {MainToolbar::Edit, [this] { EnterMode("EDIT"); }},
        {MainToolbar::Delete, [this] { EnterMode("DELETE"); }},
        {MainToolbar::Cancel, [this] { CancelEdit(); }},
        {MainToolbar::Save, [this] { SaveEntry(); }},
        {MainToolbar::AddGroup, [this] { tree_->AddGroup(); }},
        {MainToolbar::Open, [this] { details_->OpenAddress(); }},
        {MainToolbar::CopyUserName, [this] { details_->CopyUserName(); }},
        {MainToolbar::CopyPassword, [this] { details_->CopyPassword(); }}};
    // Separators have no command.
    if (const auto command = commands.find(index); command != commands.end()) {
        command->second();
    }
}

void Form_Main::EnterMode(const std::string& mode) {
    session_.EditMode = mode;
    if (mode != "EDIT") {
        details_->Clear();
    }
    MNU_File->setEnabled(false);
    MNU_File->menuAction()->setEnabled(false);
    tree_->SetBrowsing(false);
    // Buttons that are locked while a mode is active, and unlocked when it ends.
    toolbar_->SetEnabled({MainToolbar::Exit, MainToolbar::New, MainToolbar::Edit,
                          MainToolbar::Delete, MainToolbar::Open, MainToolbar::CopyUserName,
                          MainToolbar::CopyPassword, MainToolbar::AddGroup},
                         false);
    toolbar_->SetEnabled({MainToolbar::Save, MainToolbar::Cancel}, true);
    details_->SetBoxesEditable(session_.Typing());
    details_->FollowEditMode();
}

void Form_Main::ReturnToBrowsing() {
    session_.EditMode.clear();
    MNU_File->setEnabled(true);
    MNU_File->menuAction()->setEnabled(true);
    tree_->SetBrowsing(true);
    toolbar_->SetEnabled({MainToolbar::Exit, MainToolbar::New, MainToolbar::AddGroup}, true);
    toolbar_->SetEnabled({MainToolbar::Save, MainToolbar::Cancel}, false);
    details_->FollowEditMode();
}

void Form_Main::CancelEdit() {
    ReturnToBrowsing();
    if (!tree_->ShowSelectedAgain()) {
        // Nothing to show again: the boxes stay empty, so the entry commands have no entry.
        details_->Clear();
        SetEntryButtonsEnabled(false);
    }
    tree_->view()->setFocus();
    details_->SetBoxesEditable(false);
}

void Form_Main::SaveEntry() {
    const QString done =
        session_.EditMode == "DELETE"
            ? Message(kMessageNodeDeleted).arg(ShownText(store_.Kind(), session_.SelectedText))
            : Message(kMessageEntrySaved);
    const std::string mode = session_.EditMode;
    const std::string shownKey = session_.SelectedKey;
    const std::optional<int> written = WriteEntry();
    if (!written) {
        return;
    }
    status_->Show(done);
    if (mode == "DELETE") {
        tree_->RemoveDeletedEntry(shownKey);
    } else if (*written > 0) {
        tree_->ShowSavedEntry(*written, mode == "EDIT" ? shownKey : std::string());
    }
    ReturnToBrowsing();
    SetEntryButtonsEnabled(session_.SelectedTag >= 1);
    details_->SetBoxesEditable(false);
}

std::optional<int> Form_Main::WriteEntry() {
    const Session& at = session_;
    using Mode = PendingWrite::Mode;
    if (at.EditMode == "DELETE") {
        if (sync_->Write(FieldValues{}, at.SelectedTag, Mode::Clear) ==
            DataFileSync::WriteResult::NotWritten) {
            return std::nullopt;
        }
        return at.SelectedTag;
    }
    if (!at.Typing()) {
        return 0;
    }
    const std::optional<EntryValues> values = details_->TakeValues();
    if (!values) {
        return std::nullopt;
    }
    DataFileSync::WriteResult written = DataFileSync::WriteResult::NotWritten;
    int record = at.SelectedTag;
    if (at.EditMode == "NEW") {
        record = tree_->AllocateTreeRecord();
        if (record == 0) {
            return std::nullopt;
        }
        tree_->KeepShownWhileSearching(RecordKey(record));
        // The new entry goes into the shown group, or the group of the shown entry.
        const std::string parent = at.SelectedTag >= 0 ? at.ParentKey : at.SelectedKey;
        written = sync_->Write(EntryRecordFields(store_.Kind(), *values, parent, record, parent,
                                                 at.DataKey, services_.random),
                               record);
    } else {
        // Replacing, not overwriting only non-blank fields: a box the user emptied empties
        // its field.
        written =
            sync_->Write(EntryRecordFields(store_.Kind(), *values, at.SelectedKey, at.SelectedTag,
                                           at.ParentKey, at.DataKey, services_.random),
                         at.SelectedTag, Mode::Replace);
    }
    if (written == DataFileSync::WriteResult::NotWritten) {
        return std::nullopt;
    }
    return record;
}

void Form_Main::closeEvent(QCloseEvent* event) {
    if (layout_ == nullptr) {
        // Closed before a login: nothing was shown or typed.
        QMainWindow::closeEvent(event);
        return;
    }
    if (!lockGuard_->Locked() && !SettleEditBeforeClosing(
                                     services_.prompter, *this, session_, [this] { SaveEntry(); },
                                     [this] { CancelEdit(); })) {
        event->ignore();
        return;
    }
    layout_->Keep();
    details_->ForgetCopy();
    QMainWindow::closeEvent(event);
}

void Form_Main::MNU_Exit_Click() {
    if (close()) {
        QCoreApplication::quit();
    }
}

}  // namespace keyrack
