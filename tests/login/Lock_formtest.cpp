#include <QMenu>
#include <QToolBar>

#include "common/WindowMessages.h"
#include "login/LockGuard.h"
#include "login/frmLogin.h"
#include "store/ValueCipher.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

class LockTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        SeedFile({Group(3, "Bank"), Entry(4, "Visa", "K3", "alice", "pin-1234")});
        Restart();
    }

    // Starts the program; every later login (the ones that unlock) goes to onLock.
    void Restart() {
        logins = 0;
        ASSERT_TRUE(StartWithLogin([this](frmLogin& login) {
            if (logins++ == 0) {
                login.LoginSucceeded = true;
            } else {
                seenWhileLocked = !Tree().view()->isVisible() && !Title()->isVisible() &&
                                  !Find<QToolBar>("Toolbar1")->isVisible();
                onLock(login);
            }
        }));
        ShowWindow();
    }

    void After(int minutes) {
        clock.now.minute += minutes;
        clock.monotonic += minutes * 60000LL;
        Find<LockGuard>()->TimerLock_Timer();
    }

    QAction* LockAfter(int minutes) const {
        const QList<QAction*> choices = Find<QMenu>("MNU_LockAfter")->actions();
        return *std::find_if(choices.begin(), choices.end(),
                             [&](QAction* choice) { return choice->data().toInt() == minutes; });
    }

    int logins = 0;
    bool seenWhileLocked = false;
    std::function<void(frmLogin&)> onLock = [](frmLogin& login) {
        TypeLogin(login, kUserName, kPassword);
    };
};

// The wait is chosen from the menu and kept for the next run; the default wait is the lock
// setting's test.
TEST_F(LockTest, IdleTimeLocksUnlessThereWasInputAndTheChosenTimeIsKept) {
    LockAfter(15)->trigger();
    Restart();
    After(14);
    QTest::keyClick(Tree().view(), Qt::Key_Down);
    // Summer time ending sets the local time back an hour; idle time is not measured by it.
    clock.now.hour -= 1;
    After(14);
    EXPECT_EQ(logins, 1);
    After(1);
    EXPECT_EQ(logins, 2);
    EXPECT_TRUE(Tree().view()->isVisible());
}

// A lock clears the password we copied; the right pair brings back an edit in progress, and
// while one waits a cancelled login does not end the program.
TEST_F(LockTest, TheRightPairBringsBackAnEditAndCancelEndsUnlessOneWaits) {
    Show("K4");
    Button(17)->trigger();
    Find<QAction>("MNU_Lock")->trigger();
    EXPECT_EQ(clipboard.text, "");

    Button(5)->trigger();
    Title()->setPlainText("Visa Gold");
    bool refusedFirst = false;
    bool emptied = true;  // hidden widgets are still read by assistive tools
    onLock = [&](frmLogin& login) {
        emptied = Tree().view()->topLevelItemCount() == 0 && Title()->toPlainText().isEmpty();
        for (const QLineEdit* box : window->findChildren<QLineEdit*>()) {
            emptied = emptied && box->text().isEmpty();
        }
        TypeLogin(login, kUserName, "wrong");
        refusedFirst = !login.LoginSucceeded && Find<LockGuard>()->Locked();
        TypeLogin(login, kUserName, kPassword);
    };
    QTest::keyClick(Title(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(logins, 3);
    EXPECT_TRUE(seenWhileLocked);
    EXPECT_TRUE(refusedFirst);
    EXPECT_TRUE(emptied);
    EXPECT_EQ(Box("Text3")->text(), "pin-1234");
    EXPECT_EQ(Tree().view()->currentItem()->text(0), "Visa");
    EXPECT_EQ(S().EditMode, "EDIT");
    EXPECT_EQ(Title()->toPlainText(), "Visa Gold");

    onLock = [this](frmLogin& login) {
        if (logins == 4) {
            login.cmdCancel_Click();
        } else {
            TypeLogin(login, kUserName, kPassword);
        }
    };
    Find<QAction>("MNU_Lock")->trigger();
    EXPECT_EQ(logins, 5);
    EXPECT_TRUE(MessageShown(kMessageEditKeepsLock));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Title()->toPlainText(), "Visa Gold");
    Button(7)->trigger();

    Button(17)->trigger();
    clipboard.PutPlain("theirs");
    onLock = [](frmLogin& login) { login.cmdCancel_Click(); };
    Find<QAction>("MNU_Lock")->trigger();
    EXPECT_EQ(clipboard.text, "theirs");
    EXPECT_FALSE(window->isVisible());
}

// A first run whose new login could not be stored still unlocks with that login.
TEST_F(FormFixture, UnlockingTakesThisRunsLoginEvenWhenStoringItFailed) {
    files.FailOn(FileOp::WriteAt);
    prompter.inputs = {"newme", "newpw", "newpw", ""};
    int logins = 0;
    bool unlocked = false;
    ASSERT_TRUE(StartWithLogin([&](frmLogin& login) {
        const char* pair = logins++ == 0 ? "VaultLocker" : nullptr;
        TypeLogin(login, pair != nullptr ? pair : "newme", pair != nullptr ? pair : "newpw");
        unlocked = login.LoginSucceeded;
    }));
    ASSERT_TRUE(DecodeValue(RecordStore(window->store()).ReadField(3, 2), LoginKey).empty());
    Find<LockGuard>()->MNU_Lock_Click();
    EXPECT_EQ(logins, 2);
    EXPECT_TRUE(unlocked);
}

}  // namespace
}  // namespace keyrack::testing
