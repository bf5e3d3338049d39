#include "login/LoginRules.h"
#include "login/frmLogin.h"
#include "support/FormFixture.h"
#include "support/OldFile.h"

namespace keyrack::testing {
namespace {

class OldFormatFormTest : public FormFixture {
  protected:
    // Starts on an old file with the answer given to its question, noting what the file held
    // when it was asked, whether the login came first and the pair the login was offered.
    bool StartAnswering(platform::Prompter::Answer answer) {
        WriteBytes(DataPath(), old_);
        prompter.answers = {answer};
        prompter.messages.clear();
        loginOffered_ = false;
        prompter.whileAsking = [this] {
            if (prompter.messages.size() == 1) {
                fileWhenAsked_ = ReadBytes(DataPath());
                loginBeforeQuestion_ = loginOffered_;
            }
        };
        return StartWithLogin([this](frmLogin& login) {
            loginOffered_ = true;
            stored_ = {login.tUserName, login.tPassword};
            login.LoginSucceeded = true;
        });
    }

    const std::string old_ = OldDataFile(50);
    std::string fileWhenAsked_;
    bool loginOffered_ = false;
    bool loginBeforeQuestion_ = false;
    StoredCredentials stored_;
};

TEST_F(OldFormatFormTest, YesConvertsKeepsTheOldFileAndTheOldLoginStillWorks) {
    ASSERT_TRUE(StartAnswering(platform::Prompter::Answer::Yes));
    EXPECT_TRUE(fileWhenAsked_ == old_);
    EXPECT_FALSE(loginBeforeQuestion_);
    EXPECT_EQ(DecideLogin("olduser", "oldpass", SetupWord, SetupWord, stored_),
              LoginDecision::Accept);
    ASSERT_NE(Tree().NodeWithKey("K3"), nullptr);
    EXPECT_EQ(Tree().NodeWithKey("K3")->text(0), "Bank");
}

TEST_F(OldFormatFormTest, NoOrAFailedWriteEndsBeforeTheLoginWithTheOldFileUntouched) {
    for (const bool injectFailure : {false, true}) {
        if (injectFailure) {
            files.FailOn(FileOp::Rename, 2);  // the converted file, after the old file's copy
        }
        EXPECT_FALSE(StartAnswering(injectFailure ? platform::Prompter::Answer::Yes
                                                  : platform::Prompter::Answer::No));
        EXPECT_FALSE(loginOffered_);
        EXPECT_TRUE(ReadBytes(DataPath()) == old_);
        ASSERT_EQ(prompter.messages.size(), injectFailure ? 2u : 1u);
        if (injectFailure) {
            EXPECT_TRUE(prompter.LastMessage().startsWith(keyrack::Message(54)));
            EXPECT_TRUE(prompter.LastMessage().endsWith(QString::fromStdString(DataPath())));
        }
        window.reset();
    }
}

}  // namespace
}  // namespace keyrack::testing
