#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "generator/Form_PW_Type.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

class PasswordTypeTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        // Entries 5 to 8 hold the settings of the first test's cases.
        std::vector<SeedRecord> records = {Group(3, "Bank"),
                                           Entry(4, "Visa", "K3", "alice", "pin-1234")};
        const char* stored[][3] = {
            {"ALPHA", "Y", "0"}, {"NUMBERIC", "N", "12"}, {"NUMERIC", "Y", "8"}, {"NUMERIC", "Y", "8"}};
        for (int i = 0; i < 4; ++i) {
            SeedRecord entry = Entry(5 + i, "Case", "K3");
            for (int k = 0; k < 3; ++k) {
                entry.values[4 + k] = stored[i][k];
            }
            records.push_back(entry);
        }
        SeedFile(records);
        Start();
        ShowWindow();
        Show("K4");
        ClickToolbar(kEdit);
    }

    // Clicks Change Type, sets the three boxes (an empty length: left as it opened) and
    // closes the dialog with the given key, or with a click on the given button.
    void ChangeType(const QString& type, const QString& caseSet, const QString& length, Qt::Key key,
                    QPushButton* Form_PW_Type::*button = nullptr) {
        QTest::mouseClick(Find<QPushButton>("Command8"), Qt::LeftButton);
        dialog = nullptr;
        for (Form_PW_Type* open : window->findChildren<Form_PW_Type*>()) {
            dialog = open->isVisible() ? open : dialog;
        }
        ASSERT_TRUE(dialog != nullptr && dialog->isModal());
        opened = {dialog->Combo1->currentText(), dialog->Combo2->currentText(),
                  dialog->Combo3->currentText()};
        dialog->Combo1->setCurrentText(type);
        dialog->Combo2->setCurrentText(caseSet);
        if (!length.isEmpty()) {
            dialog->Combo3->lineEdit()->selectAll();
            QTest::keyClicks(dialog->Combo3->lineEdit(), length);
        }
        if (button != nullptr) {
            QTest::mouseClick(dialog->*button, Qt::LeftButton);
        } else {
            QTest::keyClick(dialog->Combo3, key);
        }
    }

    std::string Settings() const {
        return S().pw_Type + "/" + S().pw_Case + "/" + S().pw_NumChar;
    }

    Form_PW_Type* dialog = nullptr;
    QStringList opened;
};

TEST_F(PasswordTypeTest, DialogOpensCorrectedAndOkStoresWhatGenerateUses) {
    struct Case {
        std::string before;  // type, case and length as "/"-separated text
        QString typedLength;
        QStringList opened;
        std::string after;
        int generated;
    };
    const Case cases[] = {{"ALPHA/Y/0", {}, {"ALPHA", "Y", "8"}, "NUMERIC/Y/8", 8},
                          {"NUMBERIC/N/12", {}, {"ALPHA", "N", "12"}, "NUMERIC/Y/12", 12},
                          {"NUMERIC/Y/8", "12.7", {"NUMERIC", "Y", "8"}, "NUMERIC/Y/12.7", 13},
                          {"NUMERIC/Y/8", "40", {"NUMERIC", "Y", "8"}, "NUMERIC/Y/8", 8}};
    int record = 5;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before + " " + c.typedLength.toStdString());
        ClickToolbar(kCancel);
        Show("K" + std::to_string(record++));
        ClickToolbar(kEdit);
        ChangeType("NUMERIC", "Y", c.typedLength, Qt::Key_Return);  // Enter means OK
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(Settings(), c.after);
        QTest::mouseClick(Find<QPushButton>("Command6"), Qt::LeftButton);
        EXPECT_EQ(Box("Text3")->text().size(), c.generated);
    }
    EXPECT_EQ(dialog->windowTitle(), Message(20));
    for (QWidget* control : dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        EXPECT_FALSE(control->objectName().isEmpty() || control->accessibleName().isEmpty());
    }
}

// The entry's stored settings (NUMERIC, N, 12) give way only to those chosen with OK.
TEST_F(PasswordTypeTest, ChosenSettingsAreGeneratedShownAndSaved) {
    ChangeType("ALPHA", "Y", "20", Qt::Key_Escape);
    ChangeType("ALPHA", "Y", "20", Qt::Key_unknown, &Form_PW_Type::CancelButton);
    EXPECT_EQ(Settings(), "NUMERIC/N/12");
    EXPECT_EQ(Find<QLabel>("Label5")->text(), "NUMERIC   12");

    ChangeType("ALPHANUMERIC", "N", "16", Qt::Key_unknown, &Form_PW_Type::OKButton);
    EXPECT_EQ(Settings(), "ALPHANUMERIC/N/16");
    QTest::mouseClick(Find<QPushButton>("Command6"), Qt::LeftButton);
    EXPECT_EQ(Find<QLabel>("Label5")->text(), "ALPHANUMERIC   16");
    const std::string password = Box("Text3")->text().toStdString();
    EXPECT_EQ(password.size(), 16u);
    EXPECT_EQ(
        password.find_first_not_of("123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
        std::string::npos);

    ClickToolbar(8);  // save
    EXPECT_EQ(FieldOnDisk(4, 4), password);
    EXPECT_EQ(FieldOnDisk(5, 4) + "/" + FieldOnDisk(6, 4) + "/" + FieldOnDisk(7, 4),
              "ALPHANUMERIC/N/16");
}

}  // namespace
}  // namespace keyrack::testing
