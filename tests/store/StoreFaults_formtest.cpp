#include <sys/wait.h>
#include <unistd.h>

#include <QLockFile>
#include <algorithm>

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

TEST_F(StoreFaultsFormTest, SecondInstanceEndsBeforeTheLoginAndADeadOnesLockIsTakenOver) {
    Start();
    std::unique_ptr<Form_Main> second;
    bool loginOffered = false;
    EXPECT_FALSE(StartsAnother(second, loginOffered));
    EXPECT_FALSE(loginOffered);
    EXPECT_TRUE(MessageShown(62));

    // The lock of a process that has ended, as a crash leaves it.
    window.reset();
    const QString lockPath = QString::fromStdString(DataPath() + ".lock");
    std::string content;
    {
        QLockFile lock(lockPath);
        ASSERT_TRUE(lock.tryLock(0));
        content = ReadBytes(DataPath() + ".lock");
    }
    const pid_t ended = fork();
    if (ended == 0) {
        _exit(0);
    }
    waitpid(ended, nullptr, 0);
    WriteBytes(DataPath() + ".lock", std::to_string(ended) + content.substr(content.find('\n')));
    prompter.messages.clear();
    EXPECT_TRUE(StartsAnother(second, loginOffered));
    EXPECT_TRUE(loginOffered);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(StoreFaultsFormTest, ALockFromAnotherComputerOrGarbledIsAskedAboutAndYesGoesOn) {
    const struct {
        const char* lock;
        QString question;
    } cases[] = {{"4242\nkeyrack\nlaptop-elsewhere\n", Message(80).arg("laptop-elsewhere")},
                 {"garbled", Message(81)}};
    for (const auto& c : cases) {
        window.reset();
        WriteBytes(DataPath() + ".lock", c.lock);
        prompter.messages.clear();
        prompter.answers.push_back(platform::Prompter::Answer::Yes);
        bool loginOffered = false;
        EXPECT_TRUE(StartsAnother(window, loginOffered)) << c.lock;
        EXPECT_TRUE(std::any_of(prompter.messages.begin(), prompter.messages.end(),
                                [&c](const auto& shown) { return shown.text == c.question; }))
            << c.lock;
    }
}

}  // namespace
}  // namespace keyrack::testing
