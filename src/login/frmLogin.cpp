#include "login/frmLogin.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "common/Cp1252.h"
#include "common/ObjectNames.h"
#include "common/Strings.h"
#include "common/Twips.h"
#include "lang/LangFunctions.h"
#include "lang/Messages.h"
#include "login/LoginRules.h"

namespace keyrack {

namespace {

constexpr int kFormWidth = 5025;
constexpr int kFormHeight = 2265;
constexpr int kSetupUserNamePrompt = 7;
constexpr int kSetupPasswordPrompt = 8;
constexpr int kSetupHintPrompt = 10;

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
    Label1->setText(Message(9));
    lblLabels[0]->setBuddy(txtUserName);
    lblLabels[1]->setBuddy(txtPassword);
    txtUserName->setAccessibleName(Message(1));
    txtPassword->setAccessibleName(Message(2));

    const auto place = [this](QWidget* control, int left, int top, int width, int height) {
        control->setGeometry(TwipsToPixelsX(left, *this), TwipsToPixelsY(top, *this),
                             TwipsToPixelsX(width, *this), TwipsToPixelsY(height, *this));
    };
    place(Label1, 0, 0, 4935, 255);
    // The explanatory line may need more than one line in some languages: everything below
    // it moves down by what it needs beyond its one line.
    const int labelWidth = Label1->width();
    const int extra = std::max(0, Label1->heightForWidth(labelWidth) - Label1->height());
    Label1->resize(labelWidth, Label1->height() + extra);
    const auto placeBelow = [&](QWidget* control, int left, int top, int width, int height) {
        place(control, left, top, width, height);
        control->move(control->x(), control->y() + extra);
    };
    placeBelow(lblLabels[0], 105, 360, 1080, 375);
    placeBelow(txtUserName, 1530, 360, 2325, 345);
    placeBelow(lblLabels[1], 105, 840, 1080, 375);
    placeBelow(txtPassword, 1530, 840, 2325, 345);
    placeBelow(cmdOK, 1560, 1320, 1140, 390);
    placeBelow(cmdCancel, 2760, 1320, 1140, 390);
    placeBelow(Command1, 3960, 840, 855, 255);
    setFixedSize(TwipsToPixelsX(kFormWidth, *this), TwipsToPixelsY(kFormHeight, *this) + extra);
    CenterForm(*this);
}

void frmLogin::cmdOK_Click() {
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

void frmLogin::RunSetup() {
    std::string userName;
    std::string password;
    if (!AskSetupAnswer(kSetupUserNamePrompt, userName) ||
        !AskSetupAnswer(kSetupPasswordPrompt, password)) {
        return;
    }
    tUserName = userName;
    tPassword = password;
    if (IsBlank(tUserName) || IsBlank(tPassword)) {
        Refuse();
        return;
    }
    std::string hint;
    if (!AskSetupAnswer(kSetupHintPrompt, hint)) {
        tUserName.clear();
        tPassword.clear();
        return;
    }
    LastUserName = tUserName;
    LastPassword = tPassword;
    LastHint = hint;
    LoginSucceeded = true;
    accept();
}

bool frmLogin::AskSetupAnswer(int promptMessage, std::string& answer) {
    const QString prompt = Message(promptMessage);
    const auto bytes = ToCp1252(prompter_.InputBox(this, prompt, windowTitle()));
    if (bytes && CanStoreCredential(*bytes)) {
        answer = *bytes;
        return true;
    }
    // Dropping the answers lets the user start the set-up again with the set-up word.
    prompter_.MessageBox(this, Message(kMessageCannotStoreValue) + "\n" + prompt,
                         platform::Prompter::Buttons::Ok, windowTitle());
    return false;
}

void frmLogin::Refuse() {
    prompter_.MessageBox(this, Message(6), platform::Prompter::Buttons::Ok, windowTitle());
    txtPassword->setFocus();
    txtPassword->selectAll();
}

void frmLogin::Command1_Click() {
    if (!IsBlank(tHint)) {
        prompter_.MessageBox(this, FromCp1252(tHint), platform::Prompter::Buttons::Ok,
                             windowTitle());
    }
}

void frmLogin::cmdCancel_Click() {
    LoginSucceeded = false;
    reject();
}

}  // namespace keyrack
