#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QToolBar>

#include "about/frmAbout.h"
#include "common/Twips.h"
#include "lang/LangFunctions.h"
#include "login/frmLogin.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

using StartupTest = FormFixture;

TEST_F(StartupTest, PlacementSizeAndSplitterComeFromTheSettingsAndAreKept) {
    SeedFile({});
    QSettings(QStringLiteral("FORM_TESTS")).setValue("WINDOW/LEFT", -500);
    QSettings(QStringLiteral("FORM_TESTS")).setValue("WINDOW/TOP", 3000);
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

// The controls of window, as a screen reader finds them through the accessibility tree, that
// take the focus or a click but have no name to announce.
std::string UnnamedControls(QWidget& window) {
    QStringList unnamed;
    const std::function<void(QAccessibleInterface*, int)> walk = [&](QAccessibleInterface* node,
                                                                     int depth) {
        if (node == nullptr || depth > 40) {
            return;
        }
        const QAccessible::State state = node->state();
        const QAccessible::Role role = node->role();
        const bool control = state.focusable || role == QAccessible::PushButton ||
                             role == QAccessible::ButtonMenu || role == QAccessible::CheckBox ||
                             role == QAccessible::RadioButton || role == QAccessible::Link;
        if (control && !state.invisible && node->text(QAccessible::Name).trimmed().isEmpty()) {
            const QObject* object = node->object();
            unnamed << QStringLiteral("role %1 %2 (%3)")
                           .arg(role)
                           .arg(object != nullptr ? object->objectName() : QString())
                           .arg(object != nullptr ? object->metaObject()->className() : "");
        }
        for (int i = 0; i < node->childCount(); ++i) {
            walk(node->child(i), depth + 1);
        }
    };
    walk(QAccessible::queryAccessibleInterface(&window), 0);
    return unnamed.join(QStringLiteral("; ")).toStdString();
}

// Every language's captions fit the controls; the toolbar is captioned in English and German.
std::string CaptionsCut(const std::vector<const QWidget*>& controls) {
    std::string cut;
    for (const QWidget* control : controls) {
        cut += control->sizeHint().width() > control->width() ? control->objectName().toStdString()
                                                              : "";
    }
    return cut;
}

TEST_F(FormFixture, EveryControlIsNamedAndEveryCaptionFitsInEveryLanguage) {
    SeedFile({Group(3, "Bank"), Entry(4, "Mail", "K3", "bob", "pw")});
    for (const char* locale : {"en_US.UTF-8", "fr_FR.UTF-8", "de_DE.UTF-8", "it_IT.UTF-8",
                               "pt_BR.UTF-8", "es_ES.UTF-8", "nl_NL.UTF-8", "nb_NO.UTF-8"}) {
        SCOPED_TRACE(locale);
        setenv("LC_ALL", locale, 1);
        LangFunctions::ResetCatalogue();
        int checked = 0;
        ASSERT_TRUE(StartWithLogin([&](frmLogin& login) {
            login.show();
            EXPECT_EQ(UnnamedControls(login), "");
            EXPECT_LE(login.Label1->heightForWidth(login.Label1->width()), login.Label1->height());
            EXPECT_EQ(CaptionsCut({login.lblLabels[0], login.lblLabels[1], login.cmdOK,
                                   login.cmdCancel, login.Command1}),
                      "");
            login.LoginSucceeded = true;
            ++checked;
        }));
        ShowWindow();
        QCoreApplication::processEvents();
        EXPECT_EQ(UnnamedControls(*window), "");
        const auto* bar = Find<QToolBar>("Toolbar1");
        std::vector<const QWidget*> buttons;
        for (int index : {2, 4, 5, 6, 7, 8, 11, 14, 16, 17}) {
            buttons.push_back(bar->widgetForAction(Button(index)));
            EXPECT_TRUE(buttons.back()->isVisible()) << index;
        }
        const std::string language = std::string(locale).substr(0, 2);
        if (language == "en" || language == "de") {
            EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
            EXPECT_EQ(CaptionsCut(buttons), "");
        }
        runAbout = [&](frmAbout& about) {
            about.show();
            EXPECT_EQ(UnnamedControls(about), "");
            ++checked;
        };
        Find<QAction>("MNU_About")->trigger();
        EXPECT_EQ(checked, 2);
        window.reset();
    }
}

}  // namespace
}  // namespace keyrack::testing
