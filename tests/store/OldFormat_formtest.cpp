#include "login/LoginRules.h"
#include "login/frmLogin.h"
#include "support/FormFixture.h"
#include "support/OldFile.h"
#include "tree/NodeKeys.h"

namespace keyrack::testing {
namespace {

// Notes, when the question comes, what the data file holds and whether a login was offered.
class WatchingPrompter : public ScriptedPrompter {
  public:
    Answer MessageBox(QWidget* parent, const QString& text, Buttons buttons,
                      const QString& title) override {
        if (buttons == Buttons::YesNo) {
            fileWhenAsked = ReadBytes(dataPath);
            loginBeforeQuestion = loginOffered;
        }
        return ScriptedPrompter::MessageBox(parent, text, buttons, title);
    }

    std::string dataPath;
    std::string fileWhenAsked;
    bool loginOffered = false;
    bool loginBeforeQuestion = false;
};

class OldFormatFormTest : public FormFixture {
  protected:
    static constexpr int kOldKey = 50;

    void SetUp() override {
        FormFixture::SetUp();
        old_ = OldDataFile(kOldKey);
        WriteBytes(DataPath(), old_);
        watcher_.dataPath = DataPath();
    }

    bool StartAnswering(platform::Prompter::Answer answer) {
        watcher_.answers = {answer};
        window = std::make_unique<Form_Main>(Services(watcher_, [this](frmLogin& login) {
            watcher_.loginOffered = true;
            const StoredCredentials stored{login.tUserName, login.tPassword};
            oldPairAccepted_ = DecideLogin("olduser", "oldpass", SetupWord, SetupWord, stored) ==
                               LoginDecision::Accept;
            defaultPairRefused_ = DecideLogin(SetupWord, SetupWord, SetupWord, SetupWord, stored) ==
                                  LoginDecision::Refuse;
            login.LoginSucceeded = oldPairAccepted_;
        }));
        return window->Form_Load();
    }

    std::string old_;
    WatchingPrompter watcher_;
    bool oldPairAccepted_ = false;
    bool defaultPairRefused_ = false;
};

TEST_F(OldFormatFormTest, YesConvertsKeepsTheOldFileAndTheOldLoginStillWorks) {
    ASSERT_TRUE(StartAnswering(platform::Prompter::Answer::Yes));
    EXPECT_TRUE(watcher_.fileWhenAsked == old_);
    EXPECT_FALSE(watcher_.loginBeforeQuestion);
    EXPECT_TRUE(oldPairAccepted_);
    EXPECT_TRUE(defaultPairRefused_);
    EXPECT_TRUE(ReadBytes(dir.File("OLD_cli.rkd")) == old_);
    EXPECT_EQ(ReadBytes(DataPath()).size(), 3u * RecordLength);
    QTreeWidgetItem* entry = Tree().NodeWithKey("K3");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(0), "Bank");
    EXPECT_EQ(TreePane::NodeKey(entry->parent()), DefaultGroupKey);
}

TEST_F(OldFormatFormTest, NoOrAFailedWriteEndsBeforeTheLoginWithTheOldFileUntouched) {
    struct Case {
        platform::Prompter::Answer answer;
        bool injectFailure;
    };
    for (const Case c : {Case{platform::Prompter::Answer::No, false},
                         Case{platform::Prompter::Answer::Yes, true}}) {
        watcher_.messages.clear();
        if (c.injectFailure) {
            files.FailOn(FileOp::Rename, 2);  // the converted file, after the old file's copy
        }
        EXPECT_FALSE(StartAnswering(c.answer));
        EXPECT_FALSE(watcher_.loginOffered);
        EXPECT_TRUE(ReadBytes(DataPath()) == old_);
        ASSERT_EQ(watcher_.messages.size(), c.injectFailure ? 2u : 1u);
        if (c.injectFailure) {
            EXPECT_TRUE(watcher_.LastMessage().startsWith(keyrack::Message(54)));
            EXPECT_TRUE(watcher_.LastMessage().endsWith(QString::fromStdString(DataPath())));
        } else {
            EXPECT_FALSE(std::filesystem::exists(dir.File("OLD_cli.rkd")));
        }
        window.reset();
    }
}

}  // namespace
}  // namespace keyrack::testing
