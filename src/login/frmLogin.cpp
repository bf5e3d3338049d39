#include "login/frmLogin.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/Cp1252.h"
#include "common/ObjectNames.h"
#include "common/Strings.h"
#include "common/Twips.h"
#include "lang/LangFunctions.h"
#include "lang/Messages.h"
#include "login/LoginRules.h"

namespace keyrack {

namespace {

constexpr int kFirstRunText = 9;
constexpr int kSetupUserNamePrompt = 7;
constexpr int kSetupPasswordPrompt = 8;
constexpr int kSetupHintPrompt = 10;
constexpr int kOwnCredentialsText = 92;
constexpr int kSetupPasswordAgainPrompt = 93;
constexpr int kSetupPasswordsDiffer = 94;
constexpr int kSetupBlankAnswer = 95;
// The explanatory line wraps at about this many average characters.
constexpr int kTextWidthInCharacters = 48;

}  // namespace

frmLogin::frmLogin(platform::Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
    setModal(true);
    lblLabels[0] = new QLabel(this);
    txtUserName = new QLineEdit(this);
    lblLabels[1] = new QLabel(this);
    txtPassword = new QLineEdit(this);
    txtPassword->setEchoMode(QLineEdit::Password);
    cmdOK = new QPushButton(this);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(this);
    Command1 = new QPushButton(this);
    Label1 = new QLabel(this);
    Label1->setWordWrap(true);
    setObjectName(QStringLiteral("frmLogin"));
    GiveObjectNames({{lblLabels[0], "lblLabels0"},
                     {txtUserName, "txtUserName"},
                     {lblLabels[1], "lblLabels1"},
                     {txtPassword, "txtPassword"},
                     {cmdOK, "cmdOK"},
                     {cmdCancel, "cmdCancel"},
                     {Command1, "Command1"},
                     {Label1, "Label1"}});

    setTabOrder(txtUserName, txtPassword);
    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, Command1);

    auto* fields = new QGridLayout;
    fields->addWidget(lblLabels[0], 0, 0);
    fields->addWidget(txtUserName, 0, 1);
    fields->addWidget(lblLabels[1], 1, 0);
    fields->addWidget(txtPassword, 1, 1);
    fields->addWidget(Command1, 1, 2);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* form = new QVBoxLayout(this);
    form->addWidget(Label1);
    form->addLayout(fields);
    form->addLayout(buttons);
    form->setSizeConstraint(QLayout::SetFixedSize);
    Label1->setMinimumWidth(fontMetrics().averageCharWidth() * kTextWidthInCharacters);

    connect(cmdOK, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);
    connect(Command1, &QPushButton::clicked, this, &frmLogin::Command1_Click);
    Form_Load();
}

void frmLogin::Form_Load() {
    setWindowTitle(Message(0));
    lblLabels[0]->setText(Message(1));
    lblLabels[1]->setText(Message(2));
    cmdOK->setText(Message(3));
    cmdCancel->setText(Message(4));
    Command1->setText(Message(5));
    lblLabels[0]->setBuddy(txtUserName);
    lblLabels[1]->setBuddy(txtPassword);
    txtUserName->setAccessibleName(Message(1));
    txtPassword->setAccessibleName(Message(2));
}

// The start-up hands in the stored pair after the dialog is made.
void frmLogin::showEvent(QShowEvent* event) {
    const bool ownPairStored = OpenProtected || (!IsBlank(tUserName) && !IsBlank(tPassword));
    Label1->setText(Message(ownPairStored ? kOwnCredentialsText : kFirstRunText));
    Command1->setEnabled(!IsBlank(tHint));
    layout()->activate();  // the new text may need another line before the dialog is drawn
    QDialog::showEvent(event);
    CenterForm(*this);
}

void frmLogin::cmdOK_Click() {
    if (OpenProtected) {
        OpenProtectedFile();
        return;
    }
    const auto userName = ToCp1252(txtUserName->text());
    const auto password = ToCp1252(txtPassword->text());
    if (!userName || !password) {
        Refuse();  // what the data file cannot hold was never stored, so it cannot match
        return;
    }
    switch (DecideLogin(*userName, *password, DefaultUserName, DefaultPassword,
                        {tUserName, tPassword})) {
        case LoginDecision::StartSetup:
            if (AllowSetup) {
                RunSetup();
            } else {
                Refuse();
            }
            return;
        case LoginDecision::Accept:
            LoginSucceeded = true;
            accept();
            return;
        case LoginDecision::Refuse:
            Refuse();
            return;
    }
}

void frmLogin::OpenProtectedFile() {
    const std::string userName = txtUserName->text().toStdString();
    const std::string password = txtPassword->text().toStdString();
    // The set-up pair is no login of any protected file.
    const bool setupPair = userName == DefaultUserName && password == DefaultPassword;
    if (setupPair || !OpenProtected(userName, password)) {
        Refuse();
        return;
    }
    LoginSucceeded = true;
    accept();
}

void frmLogin::RunSetup() {
    std::string userName;
    std::string password;
    std::string passwordAgain;
    std::string hint;
    if (!AskSetupAnswer(kSetupUserNamePrompt, false, userName) ||
        !AskSetupAnswer(kSetupPasswordPrompt, true, password)) {
        return;
    }
    if (IsBlank(userName) || IsBlank(password)) {
        TellSetupEnded(kSetupBlankAnswer);
        return;
    }
    if (!AskSetupAnswer(kSetupPasswordAgainPrompt, true, passwordAgain)) {
        return;
    }
    if (passwordAgain != password) {
        TellSetupEnded(kSetupPasswordsDiffer);
        return;
    }
    if (!AskSetupAnswer(kSetupHintPrompt, false, hint)) {
        return;
    }
    tUserName = userName;
    tPassword = password;
    LastUserName = userName;
    LastPassword = password;
    LastHint = hint;
    LoginSucceeded = true;
    accept();
}

bool frmLogin::AskSetupAnswer(int promptMessage, bool masked, std::string& answer) {
    const QString prompt = Message(promptMessage);
    const std::optional<QString> typed = prompter_.AskText(this, prompt, windowTitle(), masked);
    if (!typed) {
        return false;  // cancelled: back to the login, nothing kept
    }
    const auto bytes = ToCp1252(*typed);
    if (bytes && CanStoreCredential(*bytes)) {
        answer = *bytes;
        return true;
    }
    // Dropping the answers lets the user start the set-up again with the set-up word.
    prompter_.Tell(this, Message(kMessageCannotStoreValue) + "\n" + prompt,
                   platform::Prompter::Kind::Warning, windowTitle());
    return false;
}

void frmLogin::TellSetupEnded(int message) {
    prompter_.Tell(this, Message(message), platform::Prompter::Kind::Warning, windowTitle());
}

void frmLogin::Refuse() {
    prompter_.Tell(this, Message(6), platform::Prompter::Kind::Warning, windowTitle());
    txtPassword->setFocus();
    txtPassword->selectAll();
}

void frmLogin::Command1_Click() {
    if (!IsBlank(tHint)) {
        const QString hint = OpenProtected ? QString::fromStdString(tHint) : FromCp1252(tHint);
        prompter_.MessageBox(this, hint, platform::Prompter::Buttons::Ok, windowTitle());
    }
}

void frmLogin::cmdCancel_Click() {
    LoginSucceeded = false;
    reject();
}

}  // namespace keyrack
