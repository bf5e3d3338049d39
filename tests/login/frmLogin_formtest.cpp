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

    // The login ends with the password box focused and all of it selected.
    static void ExpectRefusedWithPasswordSelected(frmLogin& login) {
        EXPECT_FALSE(login.LoginSucceeded);
        EXPECT_EQ(login.txtPassword->selectedText(), login.txtPassword->text());
    }
};

TEST_F(LoginTest, FirstRunSetUpStoresTheNewCredentials) {
    prompter.inputs = {"alice", "s3cret pass", "my cat"};
    ASSERT_TRUE(StartWithLogin(
        [](frmLogin& login) { TypeAndPressEnter(login, "VaultLocker", "VaultLocker"); }));

    EXPECT_EQ(FieldOnDisk(3, 2, LoginKey), "alice");
    EXPECT_EQ(FieldOnDisk(4, 2, LoginKey), "s3cret pass");
    EXPECT_EQ(FieldOnDisk(1, 2, LoginKey), "my cat");

    // The next start asks for the new pair, and the set-up word no longer opens anything.
    window.reset();
    prompter.messages.clear();
    EXPECT_FALSE(StartWithLogin([](frmLogin& login) {
        TypeAndPressEnter(login, "VaultLocker", "VaultLocker");
        ExpectRefusedWithPasswordSelected(login);
    }));
    EXPECT_TRUE(MessageShown(6));
    window.reset();
    EXPECT_TRUE(
        StartWithLogin([](frmLogin& login) { TypeAndPressEnter(login, "alice", "s3cret pass"); }));
}

// Which pairs log in is the login rules' table; here, that the dialog compares the stored
// bytes ("é" and "€" are single bytes in the data file's character set) and shows the hint.
TEST_F(LoginTest, ComparisonIsOnTheStoredTextAndTheHintIsShownOnRequest) {
    auto login = Dialog("Caf\xe9", "\x80", "the usual");
    TypeAndPressEnter(*login, QString::fromUtf8("Caf\u00e9"), QString::fromUtf8("\u20ac "));
    ExpectRefusedWithPasswordSelected(*login);
    login->Command1->click();
    EXPECT_EQ(prompter.LastMessage(), "the usual");
    TypeAndPressEnter(*login, QString::fromUtf8("Caf\u00e9"), QString::fromUtf8("\u20ac"));
    EXPECT_TRUE(login->LoginSucceeded);
    EXPECT_TRUE(login->LastUserName.empty());  // an ordinary login changes nothing stored
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

// An answer the data file cannot hold is refused and the set-up word starts the set-up again;
// a blank new password ends it for good.
TEST_F(LoginTest, SetUpEndsOnAnUnstorableOrBlankAnswer) {
    auto login = Dialog("", "");
    const std::pair<std::deque<QString>, int> cases[] = {
        {{QString(40, 'x')}, 53},
        {{"alice", QString::fromUtf8("\u03c0\u03b9")}, 53},
        {{"alice", "   "}, 6},
    };
    for (const auto& [answers, message] : cases) {
        prompter.messages.clear();
        prompter.inputs = answers;
        TypeAndPressEnter(*login, "VaultLocker", "VaultLocker");
        EXPECT_FALSE(login->LoginSucceeded);
        EXPECT_TRUE(MessageShown(message)) << message;
    }
    const std::size_t asked = prompter.prompts.size();
    TypeAndPressEnter(*login, "VaultLocker", "VaultLocker");
    EXPECT_FALSE(login->LoginSucceeded);
    EXPECT_EQ(prompter.prompts.size(), asked);
    EXPECT_TRUE(login->LastUserName.empty());
}

}  // namespace
}  // namespace keyrack::testing
