#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "platform/Prompter.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace keyrack {

// The login dialog: checks the typed user name and password against the stored ones and, on
// a first run, takes the new credentials. Text is compared and handed out as Windows-1252; a
// protected file is opened with the typed pair instead (see OpenProtected).
class frmLogin : public QDialog {
    Q_OBJECT

  public:
    explicit frmLogin(platform::Prompter& prompter, QWidget* parent = nullptr);

    // Handed in by the start-up.
    std::string DefaultUserName;
    std::string DefaultPassword;
    std::string tUserName;
    std::string tPassword;
    std::string tHint;
    // Handed back: the credentials chosen at set-up, empty after an ordinary login.
    std::string LastUserName;
    std::string LastPassword;
    std::string LastHint;
    bool LoginSucceeded = false;
    // Off when the login unlocks the running program: the first-run set-up is then refused.
    bool AllowSetup = true;
    // Set for a protected file, which holds no pair to compare with: the typed pair (UTF-8)
    // opens the file or is refused. The hint is then UTF-8 too, and no set-up runs.
    std::function<bool(const std::string& userName, const std::string& password)> OpenProtected;

    QLabel* lblLabels[2] = {};
    QLineEdit* txtUserName = nullptr;
    QLineEdit* txtPassword = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label1 = nullptr;

    void cmdOK_Click();
    void cmdCancel_Click();
    void Command1_Click();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Form_Load();
    void OpenProtectedFile();
    void RunSetup();
    // Asks one set-up question; false when cancelled, or (after telling the user) when the
    // answer cannot be stored intact.
    bool AskSetupAnswer(int promptMessage, bool masked, std::string& answer);
    void TellSetupEnded(int message);
    void Refuse();

    platform::Prompter& prompter_;
};

}  // namespace keyrack
