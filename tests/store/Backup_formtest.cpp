#include <QTimer>

#include "login/frmLogin.h"
#include "store/BackupCommands.h"
#include "store/BackupDate.h"
#include "support/FormFixture.h"
#include "support/OldFile.h"

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

    // The switch, Y or N, then the period items that are checked, of Day, Week and Month.
    std::string Marks() const {
        return std::string(Find<QAction>("MNU_AutoBackup")->isChecked() ? "Y" : "N") +
               (Find<QAction>("MNU_Day")->isChecked() ? "D" : "-") +
               (Find<QAction>("MNU_Week")->isChecked() ? "W" : "-") +
               (Find<QAction>("MNU_Month")->isChecked() ? "M" : "-");
    }
};

// "Y" alone switches backups on and leaves the period; a date that does not convert counts as
// long ago. Each period's boundaries are the schedule's own tests; here, the start-up runs it.
TEST_F(BackupTest, StartUpShowsTheStoredSettingsAndMakesADueBackup) {
    const struct {
        const char* setting;
        const char* last;
        const char* marks;
        CivilDateTime date;  // after the start-up
    } cases[] = {
        {"YD", "05/Dec/2026", "YD--", FixedClock().now},
        {"Y", "01/Jan/2020", "Y---", {2020, 1, 1}},
        {"NM", "05/Mar/202", "N--M", LongAgo},
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
        EXPECT_EQ(Marks(), c.marks);
        EXPECT_EQ(S().LastBackupDate, c.date);
        const bool made = c.date == clock.now;
        EXPECT_EQ(std::filesystem::exists(BackupPath()), made);
        EXPECT_EQ(FieldOnDisk(6, 2), made ? "06/Dec/2026" : c.last);
        window.reset();
    }
}

// What a failed copy leaves is the file unit's table; here, that the failure is told with the
// backup's name and keeps the date, every time for the command and once for the automatic
// backup, which tries again on the next tick. Settings that cannot be stored leave the items as
// the file holds them.
TEST_F(BackupTest, FailedCopyOrSettingsWriteIsToldAndChangesNothing) {
    SeedWithSettings("YD", "05/Dec/2026");
    std::filesystem::create_directory(BackupPath());
    Start();
    Find<BackupCommands>()->Timer1_Timer();
    Find<QAction>("MNU_Backup")->trigger();
    ASSERT_EQ(prompter.messages.size(), 2u);
    for (const auto& shown : prompter.messages) {
        EXPECT_TRUE(shown.text.startsWith(Message(56).section("%1", 0, 0)));
        EXPECT_TRUE(shown.text.contains(QString::fromStdString(BackupPath())));
    }
    EXPECT_EQ(S().LastBackupDate, (CivilDateTime{2026, 12, 5}));

    std::filesystem::remove(BackupPath());
    Find<BackupCommands>()->Timer1_Timer();
    EXPECT_TRUE(std::filesystem::exists(BackupPath()));
    EXPECT_EQ(S().LastBackupDate, clock.now);
    EXPECT_EQ(prompter.messages.size(), 2u);

    // Which pick clears a period is the schedule's test; switched on again without one, the
    // backup is weekly.
    for (const char* item : {"MNU_Day", "MNU_AutoBackup", "MNU_AutoBackup"}) {
        Find<QAction>(item)->trigger();
    }
    EXPECT_EQ(FieldOnDisk(5, 2) + Marks(), "YWY-W-");
    MakeDataFileUnwritable();
    Find<QAction>("MNU_Month")->trigger();
    EXPECT_TRUE(MessageShown(54));
    EXPECT_EQ(Marks() + S().BackupPeriod, "Y-W-W");
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

    prompter.answers = {Reply::No};
    Find<QAction>("MNU_RestoreBackup")->trigger();
    EXPECT_EQ(ReadBytes(DataPath()), changed);
    EXPECT_EQ(ReadBytes(BackupPath()), backup);
    EXPECT_EQ(TreeTexts(), withMail);

    prompter.answers = {Reply::Yes};
    Find<QAction>("MNU_RestoreBackup")->trigger();
    EXPECT_TRUE(MessageShown(59));
    EXPECT_EQ(prompter.messages[0].buttons, platform::Prompter::Buttons::YesNoDefaultNo);
    EXPECT_EQ(ReadBytes(DataPath()), backup);
    EXPECT_EQ(TreeTexts(), (std::vector<QString>{"Bank", "Visa"}));
    EXPECT_EQ(Marks() + S().BackupPeriod, "Y---");
    EXPECT_EQ(S().LastBackupDate, madeAt);
    EXPECT_EQ(prompter.messages.size(), 2u);

    // A backup of a file with another key is read with its own.
    std::filesystem::remove(BackupPath());
    SeedFile({Entry(3, "Old mail", "", "carol")}, BackupPath(), kKey + 37);
    prompter.answers = {Reply::Yes};
    Find<QAction>("MNU_RestoreBackup")->trigger();
    EXPECT_EQ(S().DataKey, kKey + 37);
    Show("K3");
    EXPECT_EQ(Box("Text4")->text(), "carol");

    // A missing backup, and an old one whose conversion is declined, are refused and the data
    // file comes back as it was. (A backup that is no data file, or that cannot replace the
    // file, is the restore unit's table.)
    const std::string restored = ReadBytes(DataPath());
    const std::vector<QString> tree = TreeTexts();
    for (const bool old : {false, true}) {
        std::filesystem::remove(BackupPath());
        prompter.messages.clear();
        prompter.answers = {Reply::Yes};
        if (old) {
            WriteBytes(BackupPath(), OldDataFile(kKey));
            prompter.answers.push_back(Reply::No);  // do not convert
        }
        Find<QAction>("MNU_RestoreBackup")->trigger();
        EXPECT_TRUE(MessageShown(57));
        EXPECT_EQ(ReadBytes(DataPath()), restored);
        EXPECT_EQ(TreeTexts(), tree);
    }
}

}  // namespace
}  // namespace keyrack::testing
