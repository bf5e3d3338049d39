#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QTimer>

#include "common/Twips.h"
#include "lang/LangFunctions.h"
#include "store/BackupDate.h"
#include "store/ValueCipher.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

class StartupTest : public FormFixture {
  protected:
    void StoreSettingsFields(const std::string& autoBackup, const std::string& lastBackup) {
        SeedFile({});
        SeedBackupSettings(autoBackup, lastBackup);
    }
};

TEST_F(StartupTest, WithoutDataFileCreatesItWithKeyAndShowsDesignState) {
    Start();

    EXPECT_EQ(FileMode(DataPath()), 0600u);
    // The key's range is the key unit's test; here, that the start-up stored the one it uses.
    EXPECT_EQ(FieldOnDisk(5, 1, LoginKey), std::to_string(S().DataKey));
    // Nothing is shown yet: no entry command, nothing to type into.
    for (int index : {2, 4, 5, 6, 7, 8, 11, 14, 16, 17}) {
        EXPECT_EQ(Button(index)->isEnabled(), index == 2 || index == kNew || index == kGroup);
    }
    EXPECT_TRUE(Title()->isReadOnly());
    EXPECT_TRUE(Find<QPushButton>("Command8")->isHidden());
    EXPECT_TRUE(Find<QTimer>("Timer1")->isActive());
}

TEST_F(StartupTest, WindowPlacementFromSettings) {
    {
        QSettings settings(QStringLiteral("FORM_TESTS"));
        settings.setValue("WINDOW/LEFT", -500);
        settings.setValue("WINDOW/TOP", 3000);
    }
    Form_Main& main = Start();
    EXPECT_EQ(main.x(), TwipsToPixelsX(100, main));
    EXPECT_EQ(main.y(), TwipsToPixelsY(3000, main));
    window.reset();
    {
        QSettings settings(QStringLiteral("FORM_TESTS"));
        settings.setValue("WINDOW/STATE", 2);
    }
    Form_Main& maximised = Start();
    EXPECT_TRUE(maximised.windowState() & Qt::WindowMaximized);
    EXPECT_NE(maximised.x(), TwipsToPixelsX(100, maximised));
}

TEST_F(StartupTest, SizeAndSplitterAreKeptForTheNextStart) {
    SeedFile({});
    Start();
    ShowWindow();
    window->resize(900, 600);
    Find<QSplitter>("Splitter1")->setSizes({250, 600});
    const int tree = Find<QSplitter>("Splitter1")->sizes()[0];
    Find<QAction>("MNU_Exit")->trigger();
    window.reset();
    Start();
    ShowWindow();
    EXPECT_EQ(window->size(), QSize(900, 600));
    EXPECT_NEAR(Find<QSplitter>("Splitter1")->sizes()[0], tree, 1);
}

TEST_F(StartupTest, BackupMenuAndLastDateFromTheSettingsRecord) {
    // "Y" alone switches backups on and leaves the period; "NM" switches off, monthly. A date
    // that does not convert counts as long ago, and the start-up goes on to the end.
    struct Case {
        const char* setting;
        const char* last;
        bool on;
        const char* marks;  // of Day, Week, Month
        CivilDateTime date;
    };
    const Case cases[] = {{"Y", "05/Mar/2025", true, "---", {2025, 3, 5}},
                          {"NM", "05/Mar/202", false, "--M", LongAgo},
                          {"N", "Yesterday!!", false, "---", LongAgo}};
    for (const Case& c : cases) {
        StoreSettingsFields(c.setting, c.last);
        Start();
        EXPECT_EQ(Find<QAction>("MNU_AutoBackup")->isChecked(), c.on) << c.setting;
        EXPECT_EQ(std::string(Find<QAction>("MNU_Day")->isChecked() ? "D" : "-") +
                      (Find<QAction>("MNU_Week")->isChecked() ? "W" : "-") +
                      (Find<QAction>("MNU_Month")->isChecked() ? "M" : "-"),
                  c.marks);
        EXPECT_EQ(S().LastBackupDate, c.date) << c.last;
        EXPECT_EQ(Find<QLabel>("Label5")->text().left(5), "ALPHA");
        window.reset();
    }
}

TEST_F(StartupTest, FailedStartupWriteIsReportedOnceTheWindowShows) {
    files.FailOn(FileOp::WriteAt);
    Form_Main& main = Start();
    EXPECT_TRUE(prompter.messages.empty());
    main.ReportStartupWriteFailure();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(MessageShown(54));
    EXPECT_TRUE(prompter.LastMessage().endsWith(QString::fromStdString(DataPath())));
}

}  // namespace
}  // namespace keyrack::testing
