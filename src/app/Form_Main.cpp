#include "app/Form_Main.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/Cp1252.h"
#include "common/ObjectNames.h"
#include "common/Strings.h"
#include "common/Twips.h"
#include "common/WindowPlacement.h"
#include "generator/PasswordType.h"
#include "lang/LangFunctions.h"
#include "lang/Messages.h"
#include "lang/QtTranslations.h"
#include "login/LoginRules.h"
#include "login/frmLogin.h"
#include "store/AppPath.h"
#include "store/BackupDate.h"
#include "store/DataKey.h"
#include "store/EntryRecord.h"
#include "store/ValueCipher.h"
#include "tree/EntryTree.h"

namespace keyrack {

namespace {

constexpr int kClientWidthTwips = 10410;
constexpr int kClientHeightTwips = 4965;
constexpr int kBackupCheckMs = 36000;
constexpr int kDragScrollMs = 200;
constexpr int kSettingsRecord = 2;
constexpr int kCredentialFieldWidth = 100;

// What each toolbar index holds: a separator (no caption) or a button with its caption
// message, its picture and whether it is enabled when the window opens.
struct ToolbarSlot {
    bool separator;
    int caption;
    QStyle::StandardPixmap picture;
    bool enabledAtStart;
};

constexpr ToolbarSlot kToolbar[18] = {
    {true, 0, QStyle::SP_CustomBase, false},                // unused index 0
    {true, 0, QStyle::SP_CustomBase, false},                // 1
    {false, 27, QStyle::SP_DialogCloseButton, true},        // 2 Exit
    {true, 0, QStyle::SP_CustomBase, false},                // 3
    {false, 28, QStyle::SP_FileIcon, true},                 // 4 New
    {false, 29, QStyle::SP_FileDialogDetailedView, false},  // 5 edit
    {false, 30, QStyle::SP_TrashIcon, false},               // 6 delete
    {false, 4, QStyle::SP_DialogCancelButton, false},       // 7 cancel
    {false, 31, QStyle::SP_DialogSaveButton, false},        // 8 save
    {true, 0, QStyle::SP_CustomBase, false},                // 9
    {true, 0, QStyle::SP_CustomBase, false},                // 10
    {false, 48, QStyle::SP_FileDialogNewFolder, true},      // 11 group
    {true, 0, QStyle::SP_CustomBase, false},                // 12
    {true, 0, QStyle::SP_CustomBase, false},                // 13
    {false, 32, QStyle::SP_ArrowForward, false},            // 14 run
    {true, 0, QStyle::SP_CustomBase, false},                // 15
    {false, 1, QStyle::SP_FileDialogContentsView, false},   // 16 Username
    {false, 2, QStyle::SP_FileDialogContentsView, false},   // 17 Password
};

}  // namespace

Form_Main::Form_Main(Services services, QWidget* parent)
    : QMainWindow(parent), Store(services.files), services_(std::move(services)) {
    SetUpCopyAndOpen();
    BuildControls();
}

Form_Main::~Form_Main() {
    for (QObject* hook : eventHooks_) {
        delete hook;
    }
}

void Form_Main::BuildControls() {
    setWindowTitle(QStringLiteral("Keyrack"));
    BuildMenus();
    BuildToolbar();
    BuildSearchBox();
    BuildStatusBar();

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    auto* tree = new EntryTree(central);
    TreeView1 = tree;
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setSortingEnabled(false);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ImageList1[1] = style()->standardIcon(QStyle::SP_DirIcon);
    ImageList1[2] = style()->standardIcon(QStyle::SP_FileIcon);
    boldFont_ = TreeView1->font();
    boldFont_.setBold(true);
    layout->addWidget(TreeView1, 1);

    auto* details = new QVBoxLayout;
    Label1 = new QLabel(QStringLiteral("Password is for"), central);
    Text1 = new QPlainTextEdit(central);
    Text1->setTabChangesFocus(true);
    Text1->setFixedHeight(Text1->fontMetrics().lineSpacing() * 3 + 12);
    Label2 = new QLabel(QStringLiteral("Web Address or Application"), central);
    Text2 = new QLineEdit(central);
    Label4 = new QLabel(QStringLiteral("Username"), central);
    Text4 = new QLineEdit(central);
    Label3 = new QLabel(QStringLiteral("Password"), central);
    Text3 = new QLineEdit(central);
    QWidget* passwordRow = BuildPasswordRow(central);
    Label5 = new QLabel(central);
    Command6 = new QPushButton(QStringLiteral("Generate"), central);
    Command8 = new QPushButton(QStringLiteral("Change Type"), central);
    for (QPushButton* button : {Command6, Command8}) {
        // The window keeps its size when the buttons come and go with the edit modes.
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
        button->setVisible(false);
    }
    for (QWidget* widget : std::initializer_list<QWidget*>{Label1, Text1, Label2, Text2, Label4,
                                                           Text4, Label3, passwordRow, Label5}) {
        details->addWidget(widget);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command6);
    buttons->addWidget(Command8);
    buttons->addStretch(1);
    details->addLayout(buttons);
    details->addStretch(1);
    layout->addLayout(details, 1);
    setCentralWidget(central);

    SetBoxesEnabled(false);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text4);
    setTabOrder(Text4, Text3);
    ConnectDetailBoxes();
    connect(Command6, &QPushButton::clicked, this, &Form_Main::Command6_Click);
    connect(Command8, &QPushButton::clicked, this, &Form_Main::Command8_Click);
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current != nullptr) {
            TreeView1_NodeClick(current);
        }
    });

    Timer1 = new QTimer(this);
    Timer1->setInterval(kBackupCheckMs);
    connect(Timer1, &QTimer::timeout, this, &Form_Main::Timer1_Timer);
    Timer2 = new QTimer(this);
    Timer2->setInterval(kDragScrollMs);
    ConnectTreeEdits(*tree);
    NameControls();

    resize(TwipsToPixelsX(kClientWidthTwips, *this),
           TwipsToPixelsY(kClientHeightTwips, *this) + menuBar()->sizeHint().height());
}

void Form_Main::NameControls() {
    setObjectName(QStringLiteral("Form_Main"));
    GiveObjectNames({{Label1, "Label1"},
                     {Label2, "Label2"},
                     {Label3, "Label3"},
                     {Label4, "Label4"},
                     {Label5, "Label5"},
                     {Text1, "Text1"},
                     {Text2, "Text2"},
                     {Text3, "Text3"},
                     {Text4, "Text4"},
                     {Command6, "Command6"},
                     {Command8, "Command8"},
                     {MNU_File, "MNU_File"},
                     {MNU_AutoBackup, "MNU_AutoBackup"},
                     {MNU_AutoBackupWhen, "MNU_AutoBackupWhen"},
                     {MNU_Month, "MNU_Month"},
                     {MNU_Week, "MNU_Week"},
                     {MNU_Day, "MNU_Day"},
                     {MNU_Backup, "MNU_Backup"},
                     {MNU_RestoreBackup, "MNU_RestoreBackup"},
                     {MNU_Bar1, "MNU_Bar1"},
                     {MNU_Exit, "MNU_Exit"},
                     {MNU_About, "MNU_About"},
                     {Timer1, "Timer1"},
                     {Timer2, "Timer2"},
                     {StatusBar1Panels[0], "StatusBar1Panel1"},
                     {StatusBar1Panels[1], "StatusBar1Panel2"},
                     {StatusBar1Panels[2], "StatusBar1Panel3"}});
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    // Toolbar buttons are known by their index.
    for (int index = 1; index < static_cast<int>(Toolbar1Buttons.size()); ++index) {
        const QString name = QStringLiteral("Toolbar1_Button%1").arg(index);
        Toolbar1Buttons[index]->setObjectName(name);
        if (QWidget* widget = Toolbar1->widgetForAction(Toolbar1Buttons[index])) {
            widget->setObjectName(name);
        }
    }
}

void Form_Main::BuildMenus() {
    MNU_File = menuBar()->addMenu(QStringLiteral("File"));
    MNU_AutoBackup = MNU_File->addAction(QStringLiteral("Auto Backup"));
    MNU_AutoBackup->setCheckable(true);
    MNU_AutoBackupWhen = MNU_File->addMenu(QStringLiteral("Auto Backup When"));
    MNU_Month = MNU_AutoBackupWhen->addAction(QStringLiteral("Month"));
    MNU_Week = MNU_AutoBackupWhen->addAction(QStringLiteral("Week"));
    MNU_Day = MNU_AutoBackupWhen->addAction(QStringLiteral("Day"));
    for (QAction* period : {MNU_Month, MNU_Week, MNU_Day}) {
        period->setCheckable(true);
    }
    MNU_Backup = MNU_File->addAction(QStringLiteral("Backup Now"));
    MNU_RestoreBackup = MNU_File->addAction(QStringLiteral("Restore the Backup"));
    MNU_Bar1 = MNU_File->addSeparator();
    MNU_Exit = MNU_File->addAction(QStringLiteral("Exit"));
    BuildLockMenu();
    MNU_About = menuBar()->addAction(QStringLiteral("About"));
    BuildCsvMenu();
    connect(MNU_AutoBackup, &QAction::triggered, this, &Form_Main::MNU_AutoBackup_Click);
    connect(MNU_Month, &QAction::triggered, this, &Form_Main::MNU_Month_Click);
    connect(MNU_Week, &QAction::triggered, this, &Form_Main::MNU_Week_Click);
    connect(MNU_Day, &QAction::triggered, this, &Form_Main::MNU_Day_Click);
    connect(MNU_Backup, &QAction::triggered, this, &Form_Main::MNU_Backup_Click);
    connect(MNU_RestoreBackup, &QAction::triggered, this, &Form_Main::MNU_RestoreBackup_Click);
    connect(MNU_Exit, &QAction::triggered, this, &Form_Main::MNU_Exit_Click);
    connect(MNU_About, &QAction::triggered, this, &Form_Main::MNU_About_Click);
}

void Form_Main::BuildToolbar() {
    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (int index = 1; index <= 17; ++index) {
        const ToolbarSlot& slot = kToolbar[index];
        if (slot.separator) {
            Toolbar1Buttons[index] = Toolbar1->addSeparator();
            continue;
        }
        QAction* button = Toolbar1->addAction(style()->standardIcon(slot.picture), QString());
        button->setEnabled(slot.enabledAtStart);
        connect(button, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(index); });
        Toolbar1Buttons[index] = button;
    }
    // The keys a desktop user expects; each only works while its button is enabled.
    Toolbar1Buttons[4]->setShortcut(QKeySequence::New);
    Toolbar1Buttons[7]->setShortcut(QKeySequence(Qt::Key_Escape));
    Toolbar1Buttons[8]->setShortcut(QKeySequence::Save);
}

void Form_Main::BuildStatusBar() {
    for (QLabel*& panel : StatusBar1Panels) {
        panel = new QLabel(this);
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

bool Form_Main::Form_Load() {
    LangFunctions::LoadMessages();
    LangFunctions::DetectLanguage();
    InstallQtTranslations(LangFunctions::CurrentLanguage);
    if (!SetUp() || !RunLogin()) {
        return false;
    }
    RestoreWindowPlacement(*this, QFileInfo(QCoreApplication::applicationFilePath()).baseName());
    GetKey();
    LoadPasswordList();
    RestoreAutoBackupMenu();
    RestoreLastBackupDate();
    ApplyCaptions();
    DisplayPWType();
    Timer1_Timer();
    // The checks run from the event loop, once the window is up.
    Timer1->start();
    StartIdleLock();
    return true;
}

bool Form_Main::RunLogin() {
    const auto stored = [this](int field) {
        return DecodeValue(Store.ReadField(field, kSettingsRecord), LoginKey);
    };
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
    lock_.userName = login.tUserName;
    lock_.password = login.tPassword;
    lock_.hint = login.LastHint.empty() ? login.tHint : login.LastHint;
    const auto encoded = [this](const std::string& value) {
        return EncodeValue(value, LoginKey, true, kCredentialFieldWidth, services_.random);
    };
    FieldValues fields;
    fields[0] = encoded(login.LastHint);
    fields[2] = encoded(login.LastUserName);
    fields[3] = encoded(login.LastPassword);
    const bool changesSomething = !IsBlank(fields[0] + fields[2] + fields[3]);
    if (changesSomething && !Store.WriteRecord(fields, kSettingsRecord, DataFilePath, false)) {
        startupWriteFailed_ = true;
    }
    return true;
}

void Form_Main::GetKey() {
    const DataKeyResult result = LoadOrCreateDataKey(Store, DataFilePath, services_.random);
    DataKey = result.key;
    startupWriteFailed_ = startupWriteFailed_ || !result.written;
}

void Form_Main::RestoreAutoBackupMenu() {
    const std::string setting = DecodeValue(Store.ReadField(5, kSettingsRecord), DataKey);
    const std::string trimmed = Trim(setting);
    if (trimmed.empty()) {
        return;
    }
    MNU_AutoBackup->setChecked(setting[0] == 'Y');
    BackupPeriod = trimmed.size() > 1 ? setting.substr(1, 1) : std::string();
    const auto checkOnly = [this](QAction* chosen) {
        for (QAction* period : {MNU_Day, MNU_Week, MNU_Month}) {
            period->setChecked(period == chosen);
        }
    };
    if (BackupPeriod == "D") {
        checkOnly(MNU_Day);
    } else if (BackupPeriod == "W") {
        checkOnly(MNU_Week);
    } else if (BackupPeriod == "M") {
        checkOnly(MNU_Month);
    }
}

void Form_Main::RestoreLastBackupDate() {
    const std::string stored = DecodeValue(Store.ReadField(6, kSettingsRecord), DataKey);
    const auto date =
        Trim(stored).size() >= BackupDateLength ? ParseBackupDate(stored) : std::nullopt;
    LastBackupDate = date ? *date : services_.clock.Now();
}

void Form_Main::ApplyCaptions() {
    setWindowTitle(Message(24));
    Label1->setText(Message(25));
    Label2->setText(Message(26));
    Label4->setText(Message(1));
    Label3->setText(Message(2));
    Command6->setText(Message(33));
    Command8->setText(Message(34));
    MNU_File->setTitle(Message(35));
    MNU_About->setText(Message(13));
    MNU_AutoBackup->setText(Message(36));
    MNU_AutoBackupWhen->setTitle(Message(37));
    MNU_Month->setText(Message(38));
    MNU_Week->setText(Message(39));
    MNU_Day->setText(Message(40));
    MNU_Backup->setText(Message(41));
    MNU_RestoreBackup->setText(Message(42));
    MNU_Exit->setText(Message(43));
    ApplySearchCaptions();
    ApplyLockCaptions();
    ApplyCsvCaptions();
    for (int index = 1; index <= 17; ++index) {
        if (!kToolbar[index].separator) {
            Toolbar1Buttons[index]->setText(Message(kToolbar[index].caption));
        }
    }
    ShowPassword->setToolTip(Message(2));
    ShowPassword->setAccessibleName(Message(2));
    FitToolbarCaptions();
    ApplyAccessibleNames();
}

void Form_Main::DisplayPWType() {
    PasswordTypeSettings settings{pw_Type, pw_Case, pw_NumChar};
    ApplyPasswordTypeDefaults(settings);
    pw_Type = settings.type;
    pw_Case = settings.caseSet;
    pw_NumChar = settings.length;
    const QString gap = QStringLiteral("   ");
    const QString remark = pw_Case == "Y" ? gap + Message(21) : QString();
    Label5->setText(FromCp1252(pw_Type) + remark + gap + FromCp1252(pw_NumChar));
}

void Form_Main::ReportStartupWriteFailure() {
    if (startupWriteFailed_) {
        startupWriteFailed_ = false;
        ReportWriteFailure();
    }
}

void Form_Main::ShowMessage(const QString& text) {
    services_.prompter.MessageBox(this, text, platform::Prompter::Buttons::Ok, windowTitle());
}

void Form_Main::ReportWriteFailure() {
    ShowMessage(Message(kMessageWriteFailed) + "\n" + QString::fromStdString(DataFilePath));
}

void Form_Main::ReportUnstorableValue(const QString& label) {
    ShowMessage(Message(kMessageCannotStoreValue) + "\n" + label);
}

int Form_Main::AllocateTreeRecord() {
    const int record = Store.FindFreeRecord(FirstTreeRecord);
    if (record > MaxRecordNumber || RecordCount >= MaxRecordNumber) {
        ShowMessage(Message(kMessageFileFull));
        return 0;
    }
    if (!Store.WriteRecord(RecordCountFields(RecordCount + 1), 1, DataFilePath, false)) {
        ReportWriteFailure();
        return 0;
    }
    ++RecordCount;
    return record;
}

void Form_Main::closeEvent(QCloseEvent* event) {
    clipboard_->ClearIfOurs();
    QMainWindow::closeEvent(event);
}

void Form_Main::MNU_Exit_Click() {
    close();
    QCoreApplication::quit();
}

}  // namespace keyrack
