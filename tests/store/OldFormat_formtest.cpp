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

// The question comes before the login and before any write; only a conversion that reached the
// disk goes on, to a login that takes the old file's pair. A refused or failed one ends the
// start-up with the old file untouched.
TEST_F(OldFormatFormTest, TheQuestionComesFirstAndOnlyAWrittenConversionGoesOn) {
    using Reply = platform::Prompter::Answer;
    const struct {
        Reply answer;
        bool fails;
    } cases[] = {{Reply::No, false}, {Reply::Yes, true}, {Reply::Yes, false}};
    for (const auto& c : cases) {
        window.reset();
        if (c.fails) {
            files.FailOn(FileOp::Rename, 2);  // the converted file, after the old file's copy
        }
        const bool converted = c.answer == Reply::Yes && !c.fails;
        EXPECT_EQ(StartAnswering(c.answer), converted);
        EXPECT_TRUE(fileWhenAsked_ == old_);
        EXPECT_FALSE(loginBeforeQuestion_);
        EXPECT_EQ(loginOffered_, converted);
        EXPECT_EQ(prompter.messages.size(), c.fails ? 2u : 1u);
        EXPECT_TRUE(converted || ReadBytes(DataPath()) == old_);
        EXPECT_TRUE(!c.fails ||
                    (prompter.LastMessage().startsWith(keyrack::Message(54)) &&
                     prompter.LastMessage().endsWith(QString::fromStdString(DataPath()))));
    }
    EXPECT_EQ(DecideLogin("olduser", "oldpass", SetupWord, SetupWord, stored_),
              LoginDecision::Accept);
    ASSERT_NE(Tree().NodeWithKey("K3"), nullptr);
    EXPECT_EQ(Tree().NodeWithKey("K3")->text(0), "Bank");
}

}  // namespace
}  // namespace keyrack::testing
