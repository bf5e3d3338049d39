#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "common/WindowMessages.h"
#include "lang/LangFunctions.h"
#include "store/AppPath.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

class DetailsTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        SeedFile({Group(3, "Bank"), Entry(4, "Visa", "K3", "alice", "pin-1234")});
        Start();
        ShowWindow();
        Show("K4");
    }

    void Drop(const QStringList& paths) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls.append(QUrl::fromLocalFile(path));
        }
        data->setUrls(urls);
        // As the desktop delivers it: the drop goes to the box that took the drag's entry.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Box("Text2"), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Box("Text2"), &drop);
        delete data;
    }
};

TEST_F(DetailsTest, CopyPutsTheBoxOnTheClipboardUntilTheTimeIsUpOrTheProgramEnds) {
    ClickToolbar(kCopyUser);
    EXPECT_EQ(clipboard.text, "alice");
    EXPECT_TRUE(clipboard.secret);
    ClickToolbar(kCopyPassword);  // copies while the box shows it masked
    EXPECT_EQ(Box("Text3")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(clipboard.text, "pin-1234");
    EXPECT_EQ(clipboardTimer.delay, 10000);
    clipboardTimer.Fire();
    EXPECT_EQ(clipboard.text, "");
    // What the user copied since is theirs: kept when the time is up.
    ClickToolbar(kCopyPassword);
    clipboard.PutPlain("theirs");
    clipboardTimer.Fire();
    EXPECT_EQ(clipboard.text, "theirs");
    Box("Text4")->setText(" bob ");
    ClickToolbar(kCopyUser);
    EXPECT_EQ(clipboard.text, " bob ");

    Find<QAction>("MNU_Exit")->trigger();
    EXPECT_EQ(clipboard.text, "");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(DetailsTest, OpenHandsTheAddressOverUnchangedAndReportsAFailure) {
    Box("Text2")->setText("   ");
    ClickToolbar(kOpen);
    EXPECT_TRUE(desktop.opened.empty());

    Box("Text2")->setText(" www.example.org ");
    ClickToolbar(kOpen);
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0].target, " www.example.org ");
    EXPECT_EQ(desktop.opened[0].workingFolder, GetAppPath());
    EXPECT_TRUE(prompter.messages.empty());

    desktop.opens = false;
    ClickToolbar(kOpen);
    EXPECT_TRUE(MessageShown(44));
    EXPECT_EQ(prompter.messages.back().buttons, platform::Prompter::Buttons::Ok);
}

TEST_F(DetailsTest, BoxesAreReadOnlyWhileBrowsingAndThePasswordMaskedUnlessShownInAFixedFont) {
    for (const char* name : {"Text2", "Text3", "Text4"}) {
        EXPECT_TRUE(Box(name)->isEnabled() && Box(name)->isReadOnly()) << name;
    }
    EXPECT_TRUE(Title()->isEnabled());
    EXPECT_EQ(Box("Text3")->echoMode(), QLineEdit::Password);
    Find<QToolButton>("ShowPassword")->click();
    EXPECT_EQ(Box("Text3")->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(Box("Text3")->font(), QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Find<QToolButton>("ShowPassword")->click();
    EXPECT_EQ(Box("Text3")->echoMode(), QLineEdit::Password);

    Find<QToolButton>("ShowPassword")->click();
    ClickToolbar(kEdit);
    EXPECT_EQ(Box("Text3")->echoMode(), QLineEdit::Normal);
    EXPECT_FALSE(Find<QToolButton>("ShowPassword")->isVisible());
    ClickToolbar(kSave);
    EXPECT_EQ(Box("Text3")->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(Find<QToolButton>("ShowPassword")->isVisible());
}

TEST_F(DetailsTest, WhileTypingAValueThatWillNotFitIsFlaggedTheTitleFlattenedAndFilesDropped) {
    ClickToolbar(kEdit);
    const QString fits(33, 'a');
    const QString tooLong = Message(kMessageValueTooLong).arg(33).arg(34);
    struct Case {
        const char* box;
        QString text;
        QString why;
    };
    // The title is trimmed before it is stored; the password keeps its spaces.
    for (const Case& c :
         {Case{"Text2", fits + 'a', tooLong}, Case{"Text2", fits, ""},
          Case{"Text1", "  " + fits, ""}, Case{"Text3", " " + fits, tooLong},
          Case{"Text4", QStringLiteral("\u6F22"), Message(kMessageCannotStoreValue)}}) {
        SCOPED_TRACE(c.box);
        QWidget* box = Find(c.box);
        if (box == Title()) {
            Title()->setPlainText(c.text);
        } else {
            Box(c.box)->setText(c.text);
        }
        EXPECT_EQ(box->toolTip(), c.why);
        EXPECT_EQ(box->styleSheet().isEmpty(), c.why.isEmpty());
    }

    Title()->setPlainText("a\r\nb");
    Box("Text2")->setFocus();
    EXPECT_EQ(Title()->toPlainText(), "a b");

    const QString a = QString::fromStdString(dir.File("a.txt"));
    const QString b = QString::fromStdString(dir.File("b.txt"));
    const QString folder = QString::fromStdString(dir.Path());
    WriteBytes(a.toStdString(), "a");
    Drop({a, b, folder});  // b does not exist: it counts as a file
    EXPECT_EQ(Box("Text2")->text(), b);
    Drop({folder});
    EXPECT_EQ(Box("Text2")->text(), b);

    ClickToolbar(kCancel);  // browsing again
    const QString shown = Box("Text2")->text();
    Drop({a});
    EXPECT_EQ(Box("Text2")->text(), shown);
}

class ToolbarTest : public FormFixture {};

TEST_F(ToolbarTest, EveryButtonIsVisibleAtTheDesignSizeInEveryLanguageCaptionedInEnglishAndGerman) {
    SeedFile({});
    for (const char* locale : {"en_US.UTF-8", "fr_FR.UTF-8", "de_DE.UTF-8", "it_IT.UTF-8",
                               "pt_BR.UTF-8", "es_ES.UTF-8", "nl_NL.UTF-8", "nb_NO.UTF-8"}) {
        SCOPED_TRACE(locale);
        setenv("LC_ALL", locale, 1);
        LangFunctions::ResetCatalogue();
        Start();
        window->show();
        QCoreApplication::processEvents();
        const std::string language = std::string(locale).substr(0, 2);
        const bool captioned = language == "en" || language == "de";
        auto* bar = Find<QToolBar>("Toolbar1");
        EXPECT_TRUE(!captioned || bar->toolButtonStyle() == Qt::ToolButtonTextUnderIcon);
        for (int index : {2, 4, 5, 6, 7, 8, 11, 14, 16, 17}) {
            const QWidget* button = bar->widgetForAction(Button(index));
            EXPECT_TRUE(button->isVisible()) << index;
            EXPECT_TRUE(!captioned || button->sizeHint().width() <= button->width()) << index;
        }
        window.reset();
    }
}

TEST_F(DetailsTest, APasswordSelectedInClearNeverReachesThePrimarySelection) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection()) {
        GTEST_SKIP() << "the platform has no primary selection";
    }
    ClickToolbar(kEdit);
    Box("Text3")->selectAll();
    QTest::mouseRelease(Box("Text3"), Qt::LeftButton);
    EXPECT_NE(clipboard->text(QClipboard::Selection), "pin-1234");
}

}  // namespace
}  // namespace keyrack::testing
