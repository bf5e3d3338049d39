#include <sys/stat.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QToolBar>

#include "common/Twips.h"
#include "lang/LangFunctions.h"
#include "store/ValueCipher.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

class StartupTest : public FormFixture {
  protected:
    void StoreSettingsFields(const std::string& autoBackup, const std::string& lastBackup) {
        SeedFile({});
        RecordStore store;
        store.LoadDataFile(DataPath());
        FieldValues fields;
        fields[4] = EncodeValue(autoBackup, kKey, false, 40);
        fields[5] = EncodeValue(lastBackup, kKey, false, 40);
        ASSERT_TRUE(store.WriteRecord(fields, 2, DataPath(), false));
    }
};

TEST_F(StartupTest, WithoutDataFileCreatesItWithKeyAndShowsDesignState) {
    Form_Main& main = Start();

    struct stat info {};
    ASSERT_EQ(stat(DataPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const int key = std::stoi(FieldOnDisk(5, 1, LoginKey));
    EXPECT_GE(key, 13);
    EXPECT_LE(key, 95);
    EXPECT_EQ(main.DataKey, key);

    for (int index : {2, 4, 11}) {
        EXPECT_TRUE(main.Toolbar1Buttons[index]->isEnabled()) << index;
    }
    for (int index : {5, 6, 7, 8, 14, 16, 17}) {
        EXPECT_FALSE(main.Toolbar1Buttons[index]->isEnabled()) << index;
    }
    for (QWidget* box :
         std::initializer_list<QWidget*>{main.Text1, main.Text2, main.Text3, main.Text4}) {
        EXPECT_FALSE(box->isEnabled());
    }
    EXPECT_TRUE(main.Command6->isHidden());
    EXPECT_TRUE(main.Command8->isHidden());
    EXPECT_TRUE(main.Timer1->isActive());
    EXPECT_EQ(main.Timer1->interval(), 36000);
    EXPECT_FALSE(main.Timer2->isActive());
    EXPECT_EQ(main.Timer2->interval(), 200);
    EXPECT_TRUE(main.EditMode.empty());
    EXPECT_EQ(main.windowTitle(), QString::fromStdString(LangFunctions::GetMessage(24)));
    EXPECT_EQ(main.Label5->text(),
              "ALPHA   " + QString::fromStdString(LangFunctions::GetMessage(21)) + "   8");
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

TEST_F(StartupTest, AutoBackupMenuFromTheSettingsRecord) {
    // "Y" alone switches backups on and leaves the period; "NM" switches off, monthly.
    StoreSettingsFields("Y", "");
    Form_Main& on = Start();
    EXPECT_TRUE(on.MNU_AutoBackup->isChecked());
    EXPECT_TRUE(on.BackupPeriod.empty());
    EXPECT_FALSE(on.MNU_Day->isChecked() || on.MNU_Week->isChecked() || on.MNU_Month->isChecked());
    window.reset();
    StoreSettingsFields("NM", "");
    Form_Main& monthly = Start();
    EXPECT_FALSE(monthly.MNU_AutoBackup->isChecked());
    EXPECT_EQ(monthly.BackupPeriod, "M");
    EXPECT_TRUE(monthly.MNU_Month->isChecked());
    EXPECT_FALSE(monthly.MNU_Day->isChecked() || monthly.MNU_Week->isChecked());
}

TEST_F(StartupTest, LastBackupDateReadBackOrTodayWhenItDoesNotConvert) {
    StoreSettingsFields("", "05/Mar/2025");
    EXPECT_EQ(Start().LastBackupDate, (CivilDateTime{2025, 3, 5}));
    window.reset();
    StoreSettingsFields("", "05/Mar/202");
    EXPECT_EQ(Start().LastBackupDate, clock.now);
    window.reset();
    StoreSettingsFields("", "Yesterday!!");
    Form_Main& main = Start();
    EXPECT_EQ(main.LastBackupDate, clock.now);
    EXPECT_EQ(main.Label5->text().left(5), "ALPHA");  // start-up went on to the end
}

TEST_F(StartupTest, GermanSettingGivesGermanCaptions) {
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    Form_Main& main = Start();
    const auto german = [](int number) {
        return QString::fromStdString(
            LangFunctions::MessageTexts[LangFunctions::kGerman][static_cast<std::size_t>(number)]);
    };
    EXPECT_EQ(LangFunctions::CurrentLanguage, "GERMAN");
    EXPECT_EQ(main.windowTitle(), german(24));
    EXPECT_EQ(main.Label1->text(), german(25));
    EXPECT_EQ(main.Label3->text(), german(2));
    EXPECT_EQ(main.MNU_File->title(), german(35));
    EXPECT_EQ(main.MNU_Exit->text(), german(43));
    EXPECT_EQ(main.Toolbar1Buttons[11]->text(), german(48));
    EXPECT_EQ(main.Toolbar1Buttons[7]->text(), german(4));
    EXPECT_NE(german(24), QString::fromStdString(LangFunctions::MessageTexts[0][24]));
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
