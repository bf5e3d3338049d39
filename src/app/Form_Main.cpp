#include "app/Form_Main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
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
#include "common/Cp1252.h"
#include "common/Notices.h"
#include "common/StatusMessages.h"
#include "common/Strings.h"
#include "common/Utf8.h"
#include "lang/LangFunctions.h"
#include "lang/Messages.h"
#include "lang/QtTranslations.h"
#include "login/LockGuard.h"
#include "login/LoginCommands.h"
#include "login/LoginRules.h"
#include "login/frmLogin.h"
#include "store/AppPath.h"
#include "store/BackupCommands.h"
#include "store/CsvCommands.h"
#include "store/DataFileSync.h"
#include "store/DataKey.h"
#include "store/EntryRecord.h"
#include "store/Restore.h"
#include "store/ValueCipher.h"
#include "store/ValueCodec.h"
#include "store/ValueText.h"
#include "tree/DetailsPane.h"
#include "tree/NodeKeys.h"
#include "tree/TreePane.h"

namespace keyrack {

namespace {

constexpr int kSettingsRecord = 2;
constexpr int kCredentialFieldWidth = 100;
constexpr int kMessageConvertOldFile = 47;
constexpr int kMessageRestoreFailed = 57;
constexpr int kMessageUnreadable = 61;
constexpr int kMessageAlreadyRunning = 62;
constexpr int kMessageChangesLoaded = 77;
constexpr int kMessageOpenElsewhere = 80;
constexpr int kMessageLockUnreadable = 81;
constexpr int kMessageProtectNewFile = 87;
constexpr int kMessageUnreadableRecords = 88;

// The buttons that act on the shown entry.
constexpr std::initializer_list<int> kEntryButtons = {MainToolbar::Edit, MainToolbar::Delete,
                                                      MainToolbar::Open, MainToolbar::CopyUserName,
                                                      MainToolbar::CopyPassword};

// A plain file's login pair and hint, as record 2 holds them (Windows-1252).
std::string PlainLoginField(RecordStore& store, int field) {
    return DecodeValue(store.ReadField(field, kSettingsRecord), LoginKey);
}

}  // namespace

Form_Main::Form_Main(Services services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), store_(services_.files) {
    setWindowTitle(QStringLiteral("Keyrack"));
    setObjectName(QStringLiteral("Form_Main"));
    sync_ = new DataFileSync(session_, store_, services_.files, services_.random, notices_, this);
    BuildMenus();
    toolbar_ = new MainToolbar(*this);
    auto* central = new QWidget(this);
    tree_ = new TreePane(session_, store_, *sync_, notices_, services_.random, central, central);
    const DetailsPane::Services detailServices{services_.clipboard, services_.clipboardTimer,
                                               services_.desktop, services_.random};
    details_ = new DetailsPane(session_, store_, notices_, detailServices, central);
    layout_ =
        new MainLayout(*this, *central, *tree_->searchBox(), *tree_->view(), *details_->column());
    setCentralWidget(central);
    entryMenu_ = new EntryMenu(*menuBar(), *MNU_File, *toolbar_, *tree_, session_);
    QWidget* previous = tree_->view();
    for (QWidget* next : details_->FocusStops()) {
        setTabOrder(std::exchange(previous, next), next);
    }
    setTabOrder(previous, tree_->searchBox());
    BuildStatusBar();
    ConnectParts();
}

void Form_Main::BuildMenus() {
    MNU_File = menuBar()->addMenu(QStringLiteral("File"));
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
    about_ =
        new AboutCommand(services_.prompter, services_.systemInfo, services_.runAbout, *menuBar());
}

void Form_Main::BuildStatusBar() {
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    status_ = new StatusReport(*statusBar());
    for (int i = 0; i < 3; ++i) {
        StatusBar1Panels[i] = new QLabel(this);
        StatusBar1Panels[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
    }
    statusBar()->addWidget(StatusBar1Panels[0], 1);
    statusBar()->addPermanentWidget(StatusBar1Panels[1]);
    statusBar()->addPermanentWidget(StatusBar1Panels[2]);
    auto* clock = new QTimer(this);
    const auto showDateAndTime = [this] {
        const QDateTime now = QDateTime::currentDateTime();
        StatusBar1Panels[1]->setText(QLocale().toString(now.date(), QLocale::ShortFormat));
        StatusBar1Panels[2]->setText(QLocale().toString(now.time(), QLocale::ShortFormat));
    };
    connect(clock, &QTimer::timeout, this, showDateAndTime);
    clock->start(1000);
    showDateAndTime();
}

void Form_Main::ConnectParts() {
    connect(MNU_Exit, &QAction::triggered, this, &Form_Main::MNU_Exit_Click);
    connect(toolbar_, &MainToolbar::clicked, this, &Form_Main::Toolbar1_ButtonClick);
    connect(tree_, &TreePane::nodeShown, this, &Form_Main::ShowSelection);
    connect(backups_, &BackupCommands::restored, this, &Form_Main::ReopenRestoredFile);
    connect(csv_, &CsvCommands::imported, tree_, &TreePane::LoadPasswordList);
    connect(lockGuard_, &LockGuard::dataHidden, this, &Form_Main::HideData);
    connect(sync_, &DataFileSync::storeReloaded, this, &Form_Main::ShowChangesFromDisk);
    connect(lockGuard_, &LockGuard::loginRefused, this, &Form_Main::MNU_Exit_Click);
    status_->Follow(tree_, details_, backups_, csv_);
    connect(loginCommands_, &LoginCommands::plainLoginChanged, lockGuard_, &LockGuard::Remember);
    connect(loginCommands_, &LoginCommands::fileProtected, this, [this] {
        if (store_.IsLocked()) {
            // Written, but it would not open again: nothing more can be done with it here.
            notices_.Show(Message(kMessageUnreadable) + "\n" +
                          QString::fromStdString(session_.DataFilePath));
            MNU_Exit_Click();
            return;
        }
        FollowProtectedFile(store_.ProtectedHint().value_or(std::string()));
        tree_->LoadKeepingView();
    });
}

bool Form_Main::Form_Load() {
    LangFunctions::LoadMessages();
    LangFunctions::DetectLanguage();
    InstallQtTranslations(LangFunctions::CurrentLanguage);
    if (!SetUp() || !RunLogin()) {
        return false;
    }
    layout_->Restore();
    GetKey();
    tree_->LoadPasswordList();
    backups_->ReadSettings();
    ApplyCaptions();
    details_->DisplayPWType();
    backups_->StartChecking();
    lockGuard_->StartIdleLock();
    sync_->StartWatching();
    return true;
}

bool Form_Main::SetUp() {
    session_.DataFilePath = GetAppPath() + "cli.rkd";
    const auto goOn = [this](const LockFinding& finding) {
        return notices_.Confirm(
            finding.kind == LockFinding::Kind::OtherComputer
                ? Message(kMessageOpenElsewhere).arg(QString::fromStdString(finding.computer))
                : Message(kMessageLockUnreadable));
    };
    switch (dataFileLock_.Take(session_.DataFilePath, services_.files, goOn)) {
        case DataFileLock::Outcome::Taken:
            break;
        case DataFileLock::Outcome::AlreadyRunning:
            notices_.Show(Message(kMessageAlreadyRunning), Notices::Kind::Warning);
            return false;
        case DataFileLock::Outcome::Declined:
            return false;
    }
    const LoadResult loaded = store_.LoadDataFile(session_.DataFilePath, ConversionQuestion());
    const auto withPath = [&loaded](int message) {
        return Message(message) + "\n" + QString::fromStdString(loaded.path);
    };
    switch (loaded.status) {
        case LoadResult::Status::Loaded:
            return true;
        case LoadResult::Status::Locked:
            // No login can open a file whose header is damaged; nothing is written to it.
            if (store_.ProtectedHint()) {
                return true;
            }
            [[fallthrough]];
        case LoadResult::Status::Unreadable:
            notices_.Show(withPath(kMessageUnreadable), Notices::Kind::Error);
            return false;
        case LoadResult::Status::ConversionFailed:
            notices_.Show(withPath(kMessageWriteFailed), Notices::Kind::Error);
            return false;
        case LoadResult::Status::ConversionDeclined:
            return false;
    }
    return false;
}

std::function<bool()> Form_Main::ConversionQuestion() {
    return [this] {
        return services_.prompter.MessageBox(this, Message(kMessageConvertOldFile),
                                             platform::Prompter::Buttons::YesNo,
                                             QString()) == platform::Prompter::Answer::Yes;
    };
}

bool Form_Main::RunLogin() {
    if (store_.Kind() == FileKind::Protected) {
        return RunProtectedLogin();
    }
    const auto stored = [this](int field) { return PlainLoginField(store_, field); };
    frmLogin login(services_.prompter, this);
    login.tUserName = stored(3);
    login.tPassword = stored(4);
    login.tHint = stored(1);
    login.DefaultUserName = SetupWord;
    login.DefaultPassword = SetupWord;
    services_.runLogin(login);
    if (!login.LoginSucceeded) {
        return false;
    }
    // The file a restore replaced was kept for a restore that turned out wrong; a login into
    // the restored file shows it was right. Failing to remove it costs only disk space.
    DiscardBeforeRestore(services_.files, session_.DataFilePath);
    // A pair the file becomes protected with is never written in the plain file.
    if (!login.LastPassword.empty() && OfferProtection(login)) {
        return true;
    }
    lockGuard_->Remember(login.tUserName, login.tPassword,
                         login.LastHint.empty() ? login.tHint : login.LastHint);
    const auto encoded = [this](const std::string& value) {
        return EncodeValue(value, LoginKey, true, kCredentialFieldWidth, services_.random);
    };
    FieldValues fields;
    fields[0] = encoded(login.LastHint);
    fields[2] = encoded(login.LastUserName);
    fields[3] = encoded(login.LastPassword);
    const bool changesSomething = !IsBlank(fields[0] + fields[2] + fields[3]);
    if (changesSomething &&
        !store_.WriteRecord(fields, kSettingsRecord, session_.DataFilePath, false)) {
        startupWriteFailed_ = true;
    }
    return true;
}

bool Form_Main::RunProtectedLogin() {
    const std::string hint = store_.ProtectedHint().value_or(std::string());
    frmLogin login(services_.prompter, this);
    login.tHint = hint;
    login.DefaultUserName = SetupWord;
    login.DefaultPassword = SetupWord;
    login.AllowSetup = false;
    login.OpenProtected = ProtectedOpener();
    services_.runLogin(login);
    if (!login.LoginSucceeded) {
        return false;
    }
    DiscardBeforeRestore(services_.files, session_.DataFilePath);
    FollowProtectedFile(hint);
    if (const std::size_t unreadable = store_.UnreadableRecords().size(); unreadable > 0) {
        notices_.Show(Message(kMessageUnreadableRecords).arg(unreadable));
    }
    return true;
}

std::function<bool(const std::string&, const std::string&)> Form_Main::ProtectedOpener() {
    return [this](const std::string& userName, const std::string& password) {
        if (!store_.Unlock({userName, password})) {
            return false;
        }
        loginCommands_->LoggedIn(userName);
        return true;
    };
}

void Form_Main::FollowProtectedFile(const std::string& hint) {
    lockGuard_->OpenWith(ProtectedOpener(), hint);
    loginCommands_->FollowFileKind();
}

bool Form_Main::OfferProtection(const frmLogin& login) {
    if (!notices_.Confirm(Message(kMessageProtectNewFile))) {
        return false;
    }
    // The file's own key decodes whatever a plain file already holds.
    GetKey();
    return loginCommands_->Protect(Cp1252ToUtf8(login.LastUserName),
                                   Cp1252ToUtf8(login.LastPassword),
                                   Utf8Prefix(Cp1252ToUtf8(login.LastHint), HintCapacity));
}

void Form_Main::GetKey() {
    if (store_.Kind() == FileKind::Protected) {
        return;  // its values are sealed, not scrambled with a key
    }
    const DataKeyResult result =
        LoadOrCreateDataKey(store_, session_.DataFilePath, services_.random);
    session_.DataKey = result.key;
    startupWriteFailed_ = startupWriteFailed_ || !result.written;
}

bool Form_Main::OpenLoaded(const LoadResult& loaded) {
    if (loaded.status != LoadResult::Status::Locked) {
        return static_cast<bool>(loaded);
    }
    return store_.ProtectedHint() && RunProtectedLogin();
}

bool Form_Main::LoadRestoredFile() {
    const std::string& path = session_.DataFilePath;
    if (OpenLoaded(store_.LoadDataFile(path, ConversionQuestion()))) {
        status_->Show(Message(kMessageBackupRestored));
        return true;
    }
    // The replaced file is put back, so the window never goes on with data it cannot write.
    if (UndoRestore(services_.files, path) &&
        OpenLoaded(store_.LoadDataFile(path, ConversionQuestion()))) {
        notices_.FileFailed(kMessageRestoreFailed, BackupCommands::BackupFilePath(), std::string());
        return true;
    }
    notices_.Show(Message(kMessageUnreadable) + "\n" + QString::fromStdString(path),
                  Notices::Kind::Error);
    MNU_Exit_Click();
    return false;
}

void Form_Main::ReopenRestoredFile() {
    const bool wasProtected = store_.Kind() == FileKind::Protected;
    // The data file's lock is still held: only the file is read again.
    if (!LoadRestoredFile()) {
        return;
    }
    if (wasProtected && store_.Kind() == FileKind::Plain) {
        // The lock compares with the restored file's pair from now on.
        lockGuard_->Remember(PlainLoginField(store_, 3), PlainLoginField(store_, 4),
                             PlainLoginField(store_, 1));
        loginCommands_->FollowFileKind();
    }
    // The backup may come from a data file made anew since, with a key of its own. A key the
    // restored file lacked, and that could not be stored, is reported as at start-up.
    GetKey();
    ReportStartupWriteFailure();
    tree_->LoadKeepingView();
    if (tree_->Empty()) {
        // Nothing to show: the boxes must not keep an entry of the replaced file.
        tree_->ShowNothing();
    }
}

void Form_Main::ShowChangesFromDisk() {
    backups_->ReadSettings();
    tree_->LoadKeepingView();
    if (tree_->Empty()) {
        tree_->ShowNothing();
    }
    StatusBar1Panels[0]->setText(Message(kMessageChangesLoaded));
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
    if (startupWriteFailed_) {
        startupWriteFailed_ = false;
        notices_.WriteFailed();
    }
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
