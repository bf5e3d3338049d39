#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>

#include "common/StatusMessages.h"
#include "common/WindowMessages.h"
#include "generator/Form_PW_Type.h"
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
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls.append(QUrl::fromLocalFile(path));
        }
        data.setUrls(urls);
        // As the desktop delivers it: the drop goes to the box that took the drag's entry.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Box("Text2"), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Box("Text2"), &drop);
    }

    // Clicks Change Type, chooses the three settings and closes the dialog with the button.
    void ChangeType(const QString& type, const QString& caseSet, const QString& length,
                    QPushButton* Form_PW_Type::*button) {
        QTest::mouseClick(Find<QPushButton>("Command8"), Qt::LeftButton);
        dialog = nullptr;
        for (Form_PW_Type* open : window->findChildren<Form_PW_Type*>()) {
            dialog = open->isVisible() ? open : dialog;
        }
        ASSERT_TRUE(dialog != nullptr && dialog->isModal());
        dialog->Combo1->setCurrentIndex(dialog->Combo1->findData(type));
        dialog->Combo2->setCurrentIndex(dialog->Combo2->findData(caseSet));
        dialog->Combo3->lineEdit()->selectAll();
        QTest::keyClicks(dialog->Combo3->lineEdit(), length);
        QTest::mouseClick(dialog->*button, Qt::LeftButton);
    }

    Form_PW_Type* dialog = nullptr;
};

TEST_F(DetailsTest, CopyPutsTheBoxOnTheClipboardUntilTheTimeIsUpOrTheProgramEnds) {
    ClickToolbar(kCopyUser);
    EXPECT_EQ(clipboard.text, "alice");
    EXPECT_TRUE(clipboard.secret);
    EXPECT_EQ(window->statusBar()->currentMessage(), Message(kMessageCopiedUserName).arg(10));
    ClickToolbar(kCopyPassword);  // copies while the box shows it masked
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
}

TEST_F(DetailsTest, BoxesAreReadOnlyWhileBrowsingAndThePasswordMaskedUnlessShownInAFixedFont) {
    for (const char* name : {"Text2", "Text3", "Text4"}) {
        EXPECT_TRUE(Box(name)->isReadOnly()) << name;
    }
    auto* eye = Find<QToolButton>("ShowPassword");
    eye->click();
    EXPECT_EQ(Box("Text3")->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(Box("Text3")->font(), QFontDatabase::systemFont(QFontDatabase::FixedFont));
    eye->click();
    EXPECT_EQ(Box("Text3")->echoMode(), QLineEdit::Password);

    eye->click();
    ClickToolbar(kEdit);
    EXPECT_FALSE(eye->isVisible());
    ClickToolbar(kSave);
    EXPECT_EQ(Box("Text3")->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(eye->isVisible());
}

TEST_F(DetailsTest, WhileTypingAValueThatWillNotFitIsFlaggedTheTitleFlattenedAndFilesDropped) {
    ClickToolbar(kEdit);
    const QString fits(33, 'a');
    const QString tooLong = Message(kMessageValueTooLong).arg(33).arg(34);
    // The box, the text typed and why it is flagged, if it is. The title is trimmed before it is
    // stored; the password keeps its spaces.
    const std::tuple<const char*, QString, QString> cases[] = {
        {"Text2", fits + 'a', tooLong},
        {"Text2", fits, ""},
        {"Text1", "  " + fits, ""},
        {"Text3", " " + fits, tooLong},
        {"Text4", QStringLiteral("\u6F22"), Message(kMessageCannotStoreValue)}};
    for (const auto& [name, text, why] : cases) {
        SCOPED_TRACE(name);
        QWidget* box = Find(name);
        if (box == Title()) {
            Title()->setPlainText(text);
        } else {
            Box(name)->setText(text);
        }
        EXPECT_EQ(box->toolTip(), why);
        EXPECT_EQ(box->styleSheet().isEmpty(), why.isEmpty());
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

// The entry's stored settings (NUMERIC, N, 12) give way only to those chosen with OK.
TEST_F(DetailsTest, ChosenPasswordSettingsAreGeneratedShownAndSaved) {
    const auto settings = [this] { return S().pw_Type + "/" + S().pw_Case + "/" + S().pw_NumChar; };
    ClickToolbar(kEdit);
    ChangeType("ALPHA", "Y", "20", &Form_PW_Type::CancelButton);
    EXPECT_EQ(settings(), "NUMERIC/N/12");
    EXPECT_EQ(Find<QLabel>("Label5")->text(), "NUMERIC   12");

    ChangeType("ALPHANUMERIC", "N", "16", &Form_PW_Type::OKButton);
    EXPECT_EQ(dialog->Combo1->currentText(), "Letters and digits");
    EXPECT_EQ(dialog->lblStrength->text(), Message(99).arg(95));  // 16 x log2(61)
    QTest::mouseClick(Find<QPushButton>("Command6"), Qt::LeftButton);
    EXPECT_EQ(Find<QLabel>("Label5")->text(), "ALPHANUMERIC   16");
    // Which characters each setting gives is the generator's test.
    const std::string password = Box("Text3")->text().toStdString();
    EXPECT_EQ(password.size(), 16u);

    ClickToolbar(kSave);
    EXPECT_EQ(FieldOnDisk(4, 4), password);
    EXPECT_EQ(FieldOnDisk(5, 4) + "/" + FieldOnDisk(6, 4) + "/" + FieldOnDisk(7, 4),
              "ALPHANUMERIC/N/16");
}

}  // namespace
}  // namespace keyrack::testing
