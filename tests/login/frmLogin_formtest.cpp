#include <QPushButton>

#include "login/frmLogin.h"
#include "store/ValueCipher.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

class LoginTest : public FormFixture {
  protected:
    // Types the pair into the dialog and presses Enter, as a user would.
    static void TypeAndPressEnter(frmLogin& login, const QString& userName,
                                  const QString& password) {
        login.show();
        login.txtUserName->setText(userName);
        login.txtPassword->setText(password);
        QTest::keyClick(login.txtPassword, Qt::Key_Return);
    }

    // A dialog on its own, holding the given stored credentials.
    std::unique_ptr<frmLogin> Dialog(const std::string& userName, const std::string& password,
                                     const std::string& hint = "") {
        auto login = std::make_unique<frmLogin>(prompter);
        login->DefaultUserName = "VaultLocker";
        login->DefaultPassword = "VaultLocker";
        login->tUserName = userName;
        login->tPassword = password;
        login->tHint = hint;
        return login;
    }
};

TEST_F(LoginTest, FirstRunSetUpStoresTheNewCredentials) {
    prompter.inputs = {"alice", "s3cret pass", "s3cret pass", "my cat"};
    ASSERT_TRUE(StartWithLogin(
        [](frmLogin& login) { TypeAndPressEnter(login, "VaultLocker", "VaultLocker"); }));

    EXPECT_EQ(prompter.prompts,
              (std::vector<QString>{Message(7), Message(8), Message(93), Message(10)}));
    EXPECT_EQ(prompter.maskedPrompts, (std::vector<QString>{Message(8), Message(93)}));
    EXPECT_EQ(FieldOnDisk(1, 2, LoginKey), "my cat");
    EXPECT_EQ(RawFieldOnDisk(3, 2).size(), 100u);  // filled, so the length does not show

    // The next start reads the new pair, stored in the user name and password fields; that the
    // set-up word then opens nothing is the rules'.
    EXPECT_TRUE(
        StartWithLogin([](frmLogin& login) { TypeAndPressEnter(login, "alice", "s3cret pass"); }));
}

// Which pairs start the set-up is the login rules' table; here, what the dialog does then. An
// answer is asked for once; a cancelled, refused or unstorable one stores nothing, and the
// set-up word starts the set-up again.
TEST_F(LoginTest, SetUpThatIsCancelledOrRefusedStoresNothing) {
    auto login = Dialog("", "");
    TypeAndPressEnter(*login, "VaultLocker", "vaultlocker");
    EXPECT_FALSE(login->LoginSucceeded);
    // The password box is focused with all of it selected, to be typed again.
    EXPECT_EQ(login->txtPassword->selectedText(), login->txtPassword->text());
    EXPECT_TRUE(prompter.prompts.empty());
    const QString cancel = ScriptedPrompter::Cancel;
    const struct {
        std::deque<QString> inputs;
        int message;   // 0: none
        int endsWith;  // the prompt the message ends with
    } cases[] = {{{cancel}, 0, 0},
                 {{"alice", cancel}, 0, 0},
                 {{"alice", "pw", cancel}, 0, 0},
                 {{"alice", "pw", "pw", cancel}, 0, 0},
                 {{"alice", "   "}, 95, 95},
                 {{"", "pw"}, 95, 95},
                 {{"alice", "pw", "pW"}, 94, 94},
                 {{QString(40, 'x')}, 53, 7},
                 {{"alice", QString::fromUtf8("\u03c0\u03b9")}, 53, 8}};  // no place in the file
    for (const auto& [inputs, message, endsWith] : cases) {
        SCOPED_TRACE(inputs.size());
        prompter.messages.clear();
        prompter.prompts.clear();
        prompter.inputs = inputs;
        TypeAndPressEnter(*login, "VaultLocker", "VaultLocker");
        EXPECT_FALSE(login->LoginSucceeded);
        EXPECT_TRUE(login->tUserName.empty() && login->LastUserName.empty());
        EXPECT_EQ(prompter.prompts.size(), inputs.size());
        EXPECT_EQ(prompter.messages.size(), message == 0 ? 0u : 1u);
        EXPECT_TRUE(message == 0 ||
                    (MessageShown(message) && prompter.LastMessage().endsWith(Message(endsWith))));
    }
    prompter.inputs = {"alice", "pw", "pw", ""};
    TypeAndPressEnter(*login, "VaultLocker", "VaultLocker");
    EXPECT_TRUE(login->LoginSucceeded);
    EXPECT_EQ(login->LastUserName, "alice");
}

TEST_F(LoginTest, ComparisonIsExactOnTheStoredText) {
    // "é" and "€" are single bytes in the data file's character set.
    auto login = Dialog("Caf\xe9  ", "\x80\x35", "the usual");
    TypeAndPressEnter(*login, QString::fromUtf8("caf\u00e9  "), QString::fromUtf8("\u20ac5"));
    TypeAndPressEnter(*login, QString::fromUtf8("Caf\u00e9"), QString::fromUtf8("\u20ac5"));
    EXPECT_FALSE(login->LoginSucceeded);
    login->Command1->click();
    EXPECT_EQ(prompter.LastMessage(), "the usual");
    TypeAndPressEnter(*login, QString::fromUtf8("Caf\u00e9  "), QString::fromUtf8("\u20ac5"));
    EXPECT_TRUE(login->LoginSucceeded);
    EXPECT_TRUE(login->LastUserName.empty());  // an ordinary login changes nothing stored

    auto withoutHint = Dialog("a", "b", "  ");
    withoutHint->show();
    EXPECT_FALSE(withoutHint->Command1->isEnabled());
}

TEST_F(LoginTest, CancelEndsWithoutWritingAnything) {
    SeedFile({});
    const std::string before = ReadBytes(DataPath());
    EXPECT_FALSE(StartWithLogin([](frmLogin& login) { login.cmdCancel->click(); }));
    EXPECT_EQ(ReadBytes(DataPath()), before);

    window.reset();
    std::filesystem::remove(DataPath());
    EXPECT_FALSE(StartWithLogin([](frmLogin& login) { login.reject(); }));
    EXPECT_EQ(ReadBytes(DataPath()), "");
}

}  // namespace
}  // namespace keyrack::testing
