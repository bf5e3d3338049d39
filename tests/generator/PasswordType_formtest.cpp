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
        SeedFile({Group(3, "Bank"), Entry(4, "Visa", "K3", "alice", "pin-1234")});
        Start();
        ShowWindow();
        Show("K4");
        ClickToolbar(kEdit);
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

    std::string Settings() const { return S().pw_Type + "/" + S().pw_Case + "/" + S().pw_NumChar; }

    Form_PW_Type* dialog = nullptr;
};

// The entry's stored settings (NUMERIC, N, 12) give way only to those chosen with OK.
TEST_F(PasswordTypeTest, ChosenSettingsAreGeneratedShownAndSaved) {
    ChangeType("ALPHA", "Y", "20", &Form_PW_Type::CancelButton);
    EXPECT_EQ(Settings(), "NUMERIC/N/12");
    EXPECT_EQ(Find<QLabel>("Label5")->text(), "NUMERIC   12");

    ChangeType("ALPHANUMERIC", "N", "16", &Form_PW_Type::OKButton);
    EXPECT_EQ(dialog->Combo1->currentText(), "Letters and digits");
    EXPECT_EQ(dialog->lblStrength->text(), Message(99).arg(95));  // 16 x log2(61)
    EXPECT_EQ(Settings(), "ALPHANUMERIC/N/16");
    QTest::mouseClick(Find<QPushButton>("Command6"), Qt::LeftButton);
    EXPECT_EQ(Find<QLabel>("Label5")->text(), "ALPHANUMERIC   16");
    // Which characters each setting gives is the generator's test.
    const std::string password = Box("Text3")->text().toStdString();
    EXPECT_EQ(password.size(), 16u);

    ClickToolbar(8);  // save
    EXPECT_EQ(FieldOnDisk(4, 4), password);
    EXPECT_EQ(FieldOnDisk(5, 4) + "/" + FieldOnDisk(6, 4) + "/" + FieldOnDisk(7, 4),
              "ALPHANUMERIC/N/16");
}

}  // namespace
}  // namespace keyrack::testing
