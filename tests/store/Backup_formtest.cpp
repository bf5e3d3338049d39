#include <QLabel>
#include <QTimer>
#include <functional>

#include "login/frmLogin.h"
#include "store/BackupCommands.h"
#include "store/BackupDate.h"
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

    // The period items that are checked, of Day, Week and Month.
    std::string Marks() const {
        return std::string(Find<QAction>("MNU_Day")->isChecked() ? "D" : "-") +
               (Find<QAction>("MNU_Week")->isChecked() ? "W" : "-") +
               (Find<QAction>("MNU_Month")->isChecked() ? "M" : "-");
    }

    void RestoreAnswering(Reply answer) {
        prompter.answers.push_back(answer);
        Find<QAction>("MNU_RestoreBackup")->trigger();
    }
};

// Which step of a copy may fail is the file unit's table; here, a copy torn by a full disk.
TEST_F(BackupTest, FailedCopyShowsTheFailureAndKeepsBackupAndDate) {
    SeedWithSettings("", "05/Mar/2025");
    WriteBytes(BackupPath(), "the previous backup");
    Start();
    const std::string dataBefore = ReadBytes(DataPath());
    files.FillDiskAfter(RecordLength + 10);
    Find<QAction>("MNU_Backup")->trigger();

    EXPECT_TRUE(MessageShown(56));
    EXPECT_TRUE(prompter.LastMessage().contains(QString::fromStdString(BackupPath())));
    EXPECT_EQ(S().LastBackupDate, (CivilDateTime{2025, 3, 5}));
    EXPECT_EQ(ReadBytes(DataPath()), dataBefore);
    EXPECT_EQ(ReadBytes(BackupPath()), "the previous backup");
    // No temporary file is left beside it.
    for (const auto& file : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_NE(file.path().string().rfind(BackupPath() + ".", 0), 0u) << file.path();
    }
}

// "Y" alone switches backups on and leaves the period; a date that does not convert counts as
// long ago. Each period's boundaries are the schedule's own tests; here, the start-up runs it.
TEST_F(BackupTest, StartUpShowsTheStoredSettingsAndMakesADueBackup) {
    const struct {
        const char* setting;
        const char* last;
        bool on;
        const char* marks;
        CivilDateTime date;  // after the start-up
    } cases[] = {
        {"YD", "05/Dec/2026", true, "D--", FixedClock().now},
        {"Y", "01/Jan/2020", true, "---", {2020, 1, 1}},
        {"NM", "05/Mar/202", false, "--M", LongAgo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        std::filesystem::remove(BackupPath());
        SeedWithSettings(c.setting, c.last);
        bool timerRanDuringLogin = true;
        ASSERT_TRUE(StartWithLogin([&](frmLogin& login) {
            timerRanDuringLogin = Find<QTimer>("Timer1")->isActive();
            login.LoginSucceeded = true;
        }));
        EXPECT_FALSE(timerRanDuringLogin);
        EXPECT_TRUE(Find<QTimer>("Timer1")->isActive());
        EXPECT_EQ(Find<QAction>("MNU_AutoBackup")->isChecked(), c.on);
        EXPECT_EQ(Marks(), c.marks);
        EXPECT_EQ(S().LastBackupDate, c.date);
        EXPECT_EQ(Find<QLabel>("Label5")->text().left(5), "ALPHA");  // the start-up went on
        const bool made = c.date == clock.now;
        EXPECT_EQ(std::filesystem::exists(BackupPath()), made);
        if (made) {
            EXPECT_EQ(FieldOnDisk(6, 2, kKey, BackupPath()), c.last);
        }
        EXPECT_EQ(FieldOnDisk(6, 2), made ? "06/Dec/2026" : c.last);
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

// The backup is the file as it was, before its own date was stored; a restore asks, holds the
// automatic backup while asking, and brings back the backup's entries, read with its key.
TEST_F(BackupTest, BackupNowCopiesTheFileAndRestoreBringsItBack) {
    SeedWithSettings("YD", "06/Dec/2026");
    Start();
    clock.now.day = 7;
    const std::string before = ReadBytes(DataPath());
    Find<QAction>("MNU_Backup")->trigger();
    EXPECT_TRUE(prompter.messages.empty());
    const std::string backup = ReadBytes(BackupPath());
    EXPECT_EQ(backup, before);
    EXPECT_EQ(FileMode(BackupPath()), 0600u);
    EXPECT_EQ(FieldOnDisk(6, 2), "07/Dec/2026");
    const CivilDateTime madeAt = clock.now;
    EXPECT_EQ(S().LastBackupDate, madeAt);

    Save("", kNew, "Mail");
    Find<QAction>("MNU_Day")->trigger();  // the period in memory is no longer the backup's
    const std::vector<QString> withMail = TreeTexts();
    ASSERT_EQ(withMail.size(), 3u);
    const std::string changed = ReadBytes(DataPath());
    clock.now.day = 9;  // a daily backup is due, but not while the question is open
    prompter.whileAsking = [this] { Find<BackupCommands>()->Timer1_Timer(); };

    RestoreAnswering(Reply::No);
    EXPECT_EQ(ReadBytes(DataPath()), changed);
    EXPECT_EQ(ReadBytes(BackupPath()), backup);
    EXPECT_EQ(TreeTexts(), withMail);

    RestoreAnswering(Reply::Yes);
    EXPECT_TRUE(MessageShown(59));
    EXPECT_EQ(prompter.messages[0].buttons, platform::Prompter::Buttons::YesNoDefaultNo);
    EXPECT_EQ(ReadBytes(DataPath()), backup);
    EXPECT_EQ(TreeTexts(), (std::vector<QString>{"Bank", "Visa"}));
    EXPECT_EQ(S().BackupPeriod, "");
    EXPECT_FALSE(Find<QAction>("MNU_Day")->isChecked());
    EXPECT_EQ(S().LastBackupDate, madeAt);
    EXPECT_EQ(prompter.messages.size(), 2u);

    // A backup of a file with another key is read with its own.
    std::filesystem::remove(BackupPath());
    SeedFile({Entry(3, "Old mail", "", "carol")}, BackupPath(), kKey + 37);
    RestoreAnswering(Reply::Yes);
    EXPECT_EQ(S().DataKey, kKey + 37);
    Show("K3");
    EXPECT_EQ(Box("Text4")->text(), "carol");
}

// A missing backup, one a record too long on a disk that fills while it is copied, and an old
// file whose conversion is declined are refused, and the data file comes back as it was.
TEST_F(BackupTest, RestoreThatCannotBeOpenedChangesNothing) {
    SeedWithSettings("", "");
    Start();
    const std::string before = ReadBytes(DataPath());
    const std::function<void()> backups[] = {
        [] {},
        [&] {
            WriteBytes(BackupPath(), before + before.substr(0, RecordLength));
            files.FillDiskAfter(100);
        },
        [&] {
            WriteBytes(BackupPath(), OldDataFile(kKey));
            prompter.answers.push_back(Reply::No);  // after Yes to the restore: do not convert
        },
    };
    for (const auto& makeBackup : backups) {
        std::filesystem::remove(BackupPath());
        prompter.answers = {Reply::Yes};
        makeBackup();
        Find<QAction>("MNU_RestoreBackup")->trigger();
        EXPECT_TRUE(MessageShown(57));
        EXPECT_EQ(ReadBytes(DataPath()), before);
        EXPECT_EQ(TreeTexts(), (std::vector<QString>{"Bank", "Visa"}));
        files.Heal();
        prompter.messages.clear();
    }
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
        EXPECT_EQ(FieldOnDisk(5, 2), step.stored);
        EXPECT_EQ(Marks(), step.checked) << step.stored;
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

}  // namespace
}  // namespace keyrack::testing
