#include <QSettings>
#include <QSplitter>

#include "common/Twips.h"
#include "store/ValueCipher.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

using StartupTest = FormFixture;

TEST_F(StartupTest, WithoutDataFileCreatesItWithKeyAndShowsDesignState) {
    Start();

    EXPECT_EQ(FileMode(DataPath()), 0600u);
    // The key's range is the key unit's test; here, that the start-up stored the one it uses.
    EXPECT_EQ(FieldOnDisk(5, 1, LoginKey), std::to_string(S().DataKey));
    // Nothing is shown yet: no entry command.
    for (int index : {2, 4, 5, 6, 7, 8, 11, 14, 16, 17}) {
        EXPECT_EQ(Button(index)->isEnabled(), index == 2 || index == kNew || index == kGroup);
    }
}

TEST_F(StartupTest, PlacementSizeAndSplitterComeFromTheSettingsAndAreKept) {
    SeedFile({});
    {
        QSettings settings(QStringLiteral("FORM_TESTS"));
        settings.setValue("WINDOW/LEFT", -500);
        settings.setValue("WINDOW/TOP", 3000);
    }
    Start();
    EXPECT_EQ(window->x(), TwipsToPixelsX(100, *window));
    EXPECT_EQ(window->y(), TwipsToPixelsY(3000, *window));
    ShowWindow();
    window->resize(900, 600);
    Find<QSplitter>("Splitter1")->setSizes({250, 600});
    const int tree = Find<QSplitter>("Splitter1")->sizes()[0];
    Find<QAction>("MNU_Exit")->trigger();
    Start();
    ShowWindow();
    EXPECT_EQ(window->size(), QSize(900, 600));
    EXPECT_NEAR(Find<QSplitter>("Splitter1")->sizes()[0], tree, 1);

    window.reset();
    QSettings(QStringLiteral("FORM_TESTS")).setValue("WINDOW/STATE", 2);
    Start();
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    EXPECT_NE(window->x(), TwipsToPixelsX(100, *window));
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
