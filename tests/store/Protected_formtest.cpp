#include "common/Cp1252.h"
#include "login/LockGuard.h"
#include "login/LoginRules.h"
#include "login/frmLogin.h"
#include "store/BackupCommands.h"
#include "store/RecordJournal.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

class ProtectedFormTest : public FormFixture {
  protected:
    // A plain file with one entry, opened and then protected from the File menu.
    void StartProtected() {
        SeedFile({Group(3, "Bank"), Entry(4, "Visa", "K3", "alice", "pin-1234")});
        Start();
        prompter.answers.push_back(platform::Prompter::Answer::Yes);
        Answer(kPassword);
        Find<QAction>("MNU_Protect")->trigger();
        ASSERT_EQ(window->store().Kind(), FileKind::Protected);
    }

    // Starts again; each login tries the pairs in turn until one opens the file.
    bool Restart(std::vector<std::pair<const char*, const char*>> pairs) {
        window.reset();
        prompter.messages.clear();
        return StartWithLogin([pairs](frmLogin& login) {
            for (const auto& [userName, password] : pairs) {
                if (!login.LoginSucceeded) {
                    TypeLogin(login, userName, password);
                }
            }
        });
    }
};

// What a protected file leaves readable is the protected store's test.
TEST_F(ProtectedFormTest, ConvertedFileOpensOnlyWithItsLoginAndAChangedLoginReplacesIt) {
    StartProtected();
    EXPECT_FALSE(Find<QAction>("MNU_Protect")->isVisible());
    for (const char* answer : {kPassword, "you", "n3w", "n3w", "new hint"}) {
        Answer(answer);
    }
    Find<QAction>("MNU_ChangeLogin")->trigger();

    ASSERT_TRUE(Restart({{kUserName, kPassword}, {SetupWord, SetupWord}, {"you", "n3w"}}));
    ASSERT_EQ(prompter.messages.size(), 2u);  // the two refusals
    EXPECT_TRUE(prompter.messages[0].text == Message(6) && prompter.messages[1].text == Message(6));
    EXPECT_EQ(TreeTexts(), (std::vector<QString>{"Bank", "Visa"}));
}

TEST_F(ProtectedFormTest, LockWipesTheRecordsAndTheLoginOpensThemForWriting) {
    StartProtected();
    bool wiped = false;
    int logins = 0;
    window.reset();
    ASSERT_TRUE(StartWithLogin([this, &wiped, &logins](frmLogin& login) {
        if (logins++ > 0) {
            wiped = window->store().IsLocked() && window->store().DataRecords.size() == 2 &&
                    window->store().DataRecords[1].bytes == DataRecord{}.bytes;
        }
        TypeLogin(login, kUserName, kPassword);
    }));
    Find<LockGuard>()->MNU_Lock_Click();
    EXPECT_TRUE(wiped);
    EXPECT_EQ(TreeTexts(), (std::vector<QString>{"Bank", "Visa"}));
    // Which values fit the reopened file is the protected store's test; one byte too many is
    // refused with its own message.
    Save("", kNew, QString(50, QChar(0x03A9)) + "a", "", "u", "p");  // 101 bytes of UTF-8
    EXPECT_TRUE(MessageShown(kMessageFieldBytes));
}

// A new user who accepts protection leaves no value, in either encoding, in the data file, its
// journal or its backup.
TEST_F(ProtectedFormTest, FirstRunWithProtectionLeavesNoValueInAnyFile) {
    const QString values[] = {QStringLiteral("Kalimera-Ωmega"), QStringLiteral("bøb-user"),
                              QStringLiteral("pässwörd-9"), QStringLiteral("setup-Secret"),
                              QStringLiteral("setup-name")};
    for (const QString& answer : {values[4], values[3], values[3], QStringLiteral("hint")}) {
        Answer(answer);
    }
    prompter.answers.push_back(platform::Prompter::Answer::Yes);
    ASSERT_TRUE(StartWithLogin([](frmLogin& login) { TypeLogin(login, SetupWord, SetupWord); }));
    ASSERT_EQ(window->store().Kind(), FileKind::Protected);
    Save("", kNew, values[0], "", values[1], values[2]);
    Find<QAction>("MNU_Backup")->trigger();

    std::string files = ReadBytes(DataPath()) + ReadBytes(BackupCommands::BackupFilePath());
    if (std::filesystem::exists(JournalPath(DataPath()))) {
        files += ReadBytes(JournalPath(DataPath()));
    }
    ASSERT_GT(files.size(), 1000u);
    for (const QString& value : values) {
        for (const std::string& form :
             {value.toUtf8().toStdString(), ToCp1252(value).value_or(std::string())}) {
            EXPECT_TRUE(form.empty() || files.find(form) == std::string::npos)
                << value.toStdString();
        }
    }
}

}  // namespace
}  // namespace keyrack::testing
