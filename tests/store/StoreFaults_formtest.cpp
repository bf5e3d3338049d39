#include <QLockFile>

#include "login/frmLogin.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

// Which locks are a live instance's, an ended one's or doubtful is the lock judge's table, and
// which reads fail the store's; here, that each ends the start-up before or after the login
// with its message and nothing written, is taken over silently, or is asked about.
TEST_F(FormFixture, TheStartUpEndsOrGoesOnAsTheFileAndItsLockAllow) {
    SeedFile({Group(3, "Bank"), Entry(4, "Visa", "K3", "alice", "pin")});
    const std::string lockPath = DataPath() + ".lock";
    std::string ours;
    {
        QLockFile lock(QString::fromStdString(lockPath));
        ASSERT_TRUE(lock.tryLock(0));
        ours = ReadBytes(lockPath);
    }
    // No process ever gets this number: the lock of an instance that has ended.
    const std::string ended = "4194305" + ours.substr(ours.find('\n'));
    const QString unreadable = Message(61) + "\n" + QString::fromStdString(DataPath());
    enum { Readable, FailsBeforeLogin, FailsAfterLogin };
    const struct {
        std::string lock;  // "live": another window holds it
        int read;
        bool loginOffered;
        QString message;  // none: the start-up goes on
    } cases[] = {
        {"", FailsBeforeLogin, false, unreadable},
        {"", FailsAfterLogin, true, unreadable},
        {"live", Readable, false, Message(62)},
        {ended, Readable, true, {}},
        {"4242\nkeyrack\nlaptop-elsewhere\n", Readable, true, Message(80).arg("laptop-elsewhere")},
        {"garbled", Readable, true, Message(81)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lock + std::to_string(c.read));
        window.reset();
        if (c.lock == "live") {
            Start();
        } else if (!c.lock.empty()) {
            WriteBytes(lockPath, c.lock);
        }
        const std::string before = ReadBytes(DataPath());
        if (c.read == FailsBeforeLogin) {
            files.FailOn(FileOp::Read);
        }
        prompter.messages.clear();
        prompter.answers = {platform::Prompter::Answer::Yes};
        bool loginOffered = false;
        auto other = std::make_unique<Form_Main>(Services(prompter, [&](frmLogin& login) {
            loginOffered = true;
            if (c.read == FailsAfterLogin) {
                files.FailOn(FileOp::Read);
            }
            login.LoginSucceeded = true;
        }));
        const bool goesOn = c.read == Readable && c.lock != "live";
        EXPECT_EQ(other->Form_Load(), goesOn);
        EXPECT_EQ(loginOffered, c.loginOffered);
        ASSERT_EQ(prompter.messages.size(), c.message.isEmpty() ? 0u : 1u);
        EXPECT_TRUE(c.message.isEmpty() || prompter.messages[0].text.startsWith(c.message));
        EXPECT_TRUE(goesOn || ReadBytes(DataPath()) == before);
    }
}

}  // namespace
}  // namespace keyrack::testing
