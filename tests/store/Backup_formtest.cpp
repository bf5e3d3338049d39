#include <QTimer>

#include "login/frmLogin.h"
#include "store/BackupCommands.h"
#include "store/ValueCipher.h"
#include "support/FormFixture.h"
#include "support/OldFile.h"
#include "tree/NodeKeys.h"

namespace keyrack::testing {
namespace {

using Reply = platform::Prompter::Answer;

class BackupTest : public FormFixture {
  protected:
    std::string BackupPath() const { return dir.File("cli2.rkd"); }

    // A data file with the group Bank and its entry Visa, and the given backup settings.
    void SeedWithSettings(const std::string& autoBackup, const std::string& lastBackup) {
        SeedFile({Group(3, "Bank"), Entry(4, "Visa", "K3")});
        SeedBackupSettings(autoBackup, lastBackup);
    }

    void RestoreAnswering(Reply answer) {
        prompter.answers.push_back(answer);
        Find<QAction>("MNU_RestoreBackup")->trigger();
    }
};

TEST_F(BackupTest, BackupNowCopiesTheFileThenStoresTheDate) {
    SeedWithSettings("", "05/Mar/2025");
    Start();
    const std::string before = ReadBytes(DataPath());
    Find<QAction>("MNU_Backup")->trigger();

    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(ReadBytes(BackupPath()), before);
    EXPECT_EQ(FileMode(BackupPath()), 0600u);
    EXPECT_EQ(FieldOnDisk(6, 2, kKey, BackupPath()), "05/Mar/2025");
    EXPECT_EQ(FieldOnDisk(6, 2), "06/Dec/2026");
    EXPECT_EQ(S().LastBackupDate, clock.now);
}

TEST_F(BackupTest, FailedOrTornCopyShowsTheFailureAndKeepsBackupAndDate) {
    for (const long long spaceLeft : {0LL, RecordLength + 10LL}) {
        SeedWithSettings("", "05/Mar/2025");
        WriteBytes(BackupPath(), "the previous backup");
        Start();
        const std::string dataBefore = ReadBytes(DataPath());
        files.FillDiskAfter(spaceLeft);
        Find<QAction>("MNU_Backup")->trigger();

        EXPECT_TRUE(MessageShown(56)) << spaceLeft;
        EXPECT_TRUE(prompter.LastMessage().contains(QString::fromStdString(BackupPath())));
        EXPECT_EQ(S().LastBackupDate, (CivilDateTime{2025, 3, 5}));
        EXPECT_EQ(ReadBytes(DataPath()), dataBefore);
        EXPECT_EQ(ReadBytes(BackupPath()), "the previous backup");
        // No temporary file is left beside it.
        for (const auto& file : std::filesystem::directory_iterator(dir.Path())) {
            EXPECT_NE(file.path().string().rfind(BackupPath() + ".", 0), 0u) << file.path();
        }
        window.reset();
        files.Heal();
        prompter.messages.clear();
    }
}

TEST_F(BackupTest, AutomaticBackupAtStartUpOnlyWhenSwitchedOnAndDue) {
    struct Case {
        const char* setting;
        const char* last;
        bool made;
    };
    // Each period's boundaries are the schedule's own tests; here, the start-up runs it.
    const Case cases[] = {
        {"YD", "05/Dec/2026", true},
        {"ND", "05/Dec/2026", false},
        {"Y", "01/Jan/2020", false},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(BackupPath());
        SeedWithSettings(c.setting, c.last);
        const std::string before = ReadBytes(DataPath());
        bool timerRanDuringLogin = true;
        ASSERT_TRUE(StartWithLogin([&](frmLogin& login) {
            timerRanDuringLogin = Find<QTimer>("Timer1")->isActive();
            login.LoginSucceeded = true;
        }));
        EXPECT_FALSE(timerRanDuringLogin);
        EXPECT_TRUE(Find<QTimer>("Timer1")->isActive());
        EXPECT_EQ(std::filesystem::exists(BackupPath()), c.made) << c.setting << " " << c.last;
        if (c.made) {
            EXPECT_EQ(FieldOnDisk(6, 2, kKey, BackupPath()), c.last);
            EXPECT_EQ(FieldOnDisk(6, 2), "06/Dec/2026");
        } else {
            EXPECT_EQ(FieldOnDisk(6, 2), c.last);
        }
        window.reset();
    }
}

TEST_F(BackupTest, FailingAutomaticBackupIsReportedOnceAndTriedAgain) {
    SeedWithSettings("YD", "05/Dec/2026");
    std::filesystem::create_directory(BackupPath());
    Start();
    Find<BackupCommands>()->Timer1_Timer();
    Find<BackupCommands>()->Timer1_Timer();
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(MessageShown(56));
    EXPECT_EQ(S().LastBackupDate, (CivilDateTime{2026, 12, 5}));

    std::filesystem::remove(BackupPath());
    Find<BackupCommands>()->Timer1_Timer();
    EXPECT_TRUE(std::filesystem::exists(BackupPath()));
    EXPECT_EQ(S().LastBackupDate, clock.now);
    EXPECT_EQ(prompter.messages.size(), 1u);
}

TEST_F(BackupTest, RestoreAsksAndBringsBackTheBackupsEntries) {
    SeedWithSettings("YD", "06/Dec/2026");
    Start();
    Find<QAction>("MNU_Backup")->trigger();
    const std::string backup = ReadBytes(BackupPath());
    ClickToolbar(kNew);
    Title()->setPlainText("Mail");
    ClickToolbar(kSave);
    Find<QAction>("MNU_Day")->trigger();  // the period in memory is no longer the backup's
    const std::vector<QString> withMail = TreeTexts();
    ASSERT_EQ(withMail.size(), 3u);
    const std::string changed = ReadBytes(DataPath());

    RestoreAnswering(Reply::No);
    EXPECT_EQ(ReadBytes(DataPath()), changed);
    EXPECT_EQ(TreeTexts(), withMail);

    RestoreAnswering(Reply::Yes);
    EXPECT_TRUE(MessageShown(59));
    EXPECT_EQ(prompter.messages[0].buttons, platform::Prompter::Buttons::YesNoDefaultNo);
    EXPECT_EQ(ReadBytes(DataPath()), backup);
    EXPECT_EQ(TreeTexts(), (std::vector<QString>{"Bank", "Visa"}));
    EXPECT_EQ(S().BackupPeriod, "");
    EXPECT_FALSE(Find<QAction>("MNU_Day")->isChecked());
    EXPECT_EQ(S().LastBackupDate, clock.now);
    EXPECT_EQ(prompter.messages.size(), 2u);
}

TEST_F(BackupTest, MissingOrDamagedBackupIsRefusedAndChangesNothing) {
    SeedWithSettings("", "");
    Start();
    const std::string before = ReadBytes(DataPath());
    struct Case {
        const char* name;
        std::function<void()> prepare;
    };
    const Case cases[] = {
        {"missing", [] {}},
        {"disk fills",
         [this, before] {
             WriteBytes(BackupPath(), before + before.substr(0, RecordLength));
             files.FillDiskAfter(100);
         }},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(BackupPath());
        c.prepare();
        RestoreAnswering(Reply::Yes);
        EXPECT_TRUE(MessageShown(57)) << c.name;
        EXPECT_EQ(ReadBytes(DataPath()), before) << c.name;
        EXPECT_EQ(TreeTexts(), (std::vector<QString>{"Bank", "Visa"})) << c.name;
        files.Heal();
        prompter.messages.clear();
    }
}

TEST_F(BackupTest, RestoredFileIsReadWithItsOwnKey) {
    constexpr int kOtherKey = 77;
    SeedFile({Entry(3, "Old mail", "", "carol")}, BackupPath(), kOtherKey);
    SeedWithSettings("", "");
    Start();
    RestoreAnswering(Reply::Yes);
    EXPECT_EQ(S().DataKey, kOtherKey);
    ASSERT_EQ(TreeTexts().size(), 2u);  // the default group and the entry
    EXPECT_EQ(TreeTexts()[1], "Old mail");
    Show("K3");
    EXPECT_EQ(Box("Text4")->text(), "carol");
}

TEST_F(BackupTest, PeriodItemsShowExactlyTheStoredSetting) {
    SeedWithSettings("", "");
    Start();
    struct Step {
        const char* item;
        const char* stored;
        const char* checked;  // of Day, Week, Month
    };
    const Step steps[] = {
        {"MNU_AutoBackup", "YW", "-W-"}, {"MNU_Day", "YD", "D--"}, {"MNU_Week", "YW", "-W-"},
        {"MNU_Day", "YD", "D--"},        {"MNU_Day", "Y", "---"},  {"MNU_Month", "YM", "--M"},
        {"MNU_AutoBackup", "NM", "--M"},
    };
    for (const Step& step : steps) {
        Find<QAction>(step.item)->trigger();
        const std::string marks = std::string(Find<QAction>("MNU_Day")->isChecked() ? "D" : "-") +
                                  (Find<QAction>("MNU_Week")->isChecked() ? "W" : "-") +
                                  (Find<QAction>("MNU_Month")->isChecked() ? "M" : "-");
        EXPECT_EQ(FieldOnDisk(5, 2), step.stored);
        EXPECT_EQ(marks, step.checked) << step.stored;
        EXPECT_EQ(Find<QAction>("MNU_AutoBackup")->isChecked(), step.stored[0] == 'Y');
        EXPECT_EQ(FieldOnDisk(6, 2), "01/Jan/1970");  // none was stored: long ago
    }
    MakeDataFileUnwritable();
    Find<QAction>("MNU_Week")->trigger();
    EXPECT_TRUE(MessageShown(54));
    EXPECT_TRUE(Find<QAction>("MNU_Month")->isChecked());
    EXPECT_FALSE(Find<QAction>("MNU_Week")->isChecked());
    EXPECT_EQ(S().BackupPeriod, "M");
}

TEST_F(BackupTest, NoAutomaticBackupWhileTheRestoreQuestionIsOpen) {
    SeedWithSettings("YD", "06/Dec/2026");
    Start();
    WriteBytes(BackupPath(), "the backup");
    clock.now.day = 7;
    prompter.whileAsking = [this] { Find<BackupCommands>()->Timer1_Timer(); };
    RestoreAnswering(Reply::No);
    EXPECT_EQ(ReadBytes(BackupPath()), "the backup");
}

// An old file whose conversion is declined cannot be opened: the replaced file comes back.
TEST_F(BackupTest, RestoreThatCannotBeOpenedPutsTheDataFileBack) {
    SeedWithSettings("", "");
    Start();
    const std::string before = ReadBytes(DataPath());
    WriteBytes(BackupPath(), OldDataFile(kKey));
    prompter.answers = {Reply::Yes, Reply::No};  // restore, but do not convert
    Find<QAction>("MNU_RestoreBackup")->trigger();
    EXPECT_TRUE(MessageShown(57));
    EXPECT_EQ(ReadBytes(DataPath()), before);
    EXPECT_EQ(TreeTexts(), (std::vector<QString>{"Bank", "Visa"}));
}

}  // namespace
}  // namespace keyrack::testing
