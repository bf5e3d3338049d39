#include <QLockFile>

#include "login/frmLogin.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

class StoreFaultsFormTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        SeedFile({Group(3, "Bank"), Entry(4, "Visa", "K3", "alice", "pin"),
                  Entry(5, "Mail", "K3", "bob", "pw")});
    }

    // Starts a window of its own; tells whether its login was offered.
    bool StartsAnother(std::unique_ptr<Form_Main>& other, bool& loginOffered) {
        loginOffered = false;
        other = std::make_unique<Form_Main>(Services(prompter, [&loginOffered](frmLogin& login) {
            loginOffered = true;
            login.LoginSucceeded = true;
        }));
        return other->Form_Load();
    }
};

// The login reads its own records first, and the rest of the file once it is accepted.
TEST_F(StoreFaultsFormTest, UnreadableFileEndsBeforeOrAfterTheLoginAndWritesNothing) {
    const std::string before = ReadBytes(DataPath());
    for (const bool afterLogin : {false, true}) {
        window.reset();
        if (!afterLogin) {
            files.FailOn(FileOp::Read);
        }
        bool loginOffered = false;
        window = std::make_unique<Form_Main>(Services(prompter, [&](frmLogin& login) {
            loginOffered = true;
            files.FailOn(FileOp::Read);
            login.LoginSucceeded = true;
        }));
        EXPECT_FALSE(window->Form_Load());
        EXPECT_EQ(loginOffered, afterLogin);
        EXPECT_TRUE(prompter.LastMessage() ==
                    Message(61) + "\n" + QString::fromStdString(DataPath()));
        EXPECT_TRUE(ReadBytes(DataPath()) == before);
    }
}

// Which locks are a live instance's, an ended one's or doubtful is the lock judge's table; here,
// that each ends the start-up before the login, is taken over silently, or is asked about.
TEST_F(StoreFaultsFormTest, ALockEndsTheStartUpIsTakenOverOrIsAskedAbout) {
    const std::string lockPath = DataPath() + ".lock";
    std::string ours;
    {
        QLockFile lock(QString::fromStdString(lockPath));
        ASSERT_TRUE(lock.tryLock(0));
        ours = ReadBytes(lockPath);
    }
    // No process ever gets this number: the lock of an instance that has ended.
    const std::string ended = "4194305" + ours.substr(ours.find('\n'));
    const struct {
        std::string lock;  // empty: another window holds it
        QString message;
    } cases[] = {{"", Message(62)},
                 {ended, {}},
                 {"4242\nkeyrack\nlaptop-elsewhere\n", Message(80).arg("laptop-elsewhere")},
                 {"garbled", Message(81)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lock);
        window.reset();
        c.lock.empty() ? (void)Start() : WriteBytes(lockPath, c.lock);
        prompter.messages.clear();
        prompter.answers = {platform::Prompter::Answer::Yes};
        std::unique_ptr<Form_Main> other;
        bool loginOffered = false;
        EXPECT_EQ(StartsAnother(other, loginOffered), !c.lock.empty());
        EXPECT_EQ(loginOffered, !c.lock.empty());
        ASSERT_EQ(prompter.messages.size(), c.message.isEmpty() ? 0u : 1u);
        EXPECT_TRUE(c.message.isEmpty() || prompter.messages[0].text.startsWith(c.message));
    }
}

}  // namespace
}  // namespace keyrack::testing
