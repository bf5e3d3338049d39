#include "generator/Form_PW_Type.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "common/Cp1252.h"
#include "common/Strings.h"
#include "common/Twips.h"
#include "generator/PasswordGenerator.h"
#include "generator/PasswordType.h"
#include "lang/Messages.h"

namespace keyrack {

namespace {

constexpr int kFormWidth = 5235;
constexpr int kFormHeight = 2535;
constexpr int kListedLengths = 30;
// The words for the three types and the two cases, in that order, separated by ";".
constexpr int kMessageSettingWords = 98;
constexpr int kMessageStrength = 99;

std::string BoxText(const QComboBox* box) {
    return Trim(ToCp1252(box->currentText()).value_or(std::string()));
}

// The stored word behind the shown one.
std::string StoredWord(const QComboBox* box) {
    return box->currentData().toString().toStdString();
}

void ChooseStoredWord(QComboBox* box, const std::string& word) {
    box->setCurrentIndex(box->findData(QString::fromStdString(word)));
}

}  // namespace

Form_PW_Type::Form_PW_Type(std::string& pwType, std::string& pwCase, std::string& pwNumChar,
                           QWidget* parent)
    : QDialog(parent), pwType_(pwType), pwCase_(pwCase), pwNumChar_(pwNumChar) {
    setModal(true);
    setObjectName(QStringLiteral("Form_PW_Type"));
    OKButton = new QPushButton(this);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(this);
    Label1 = new QLabel(this);
    Combo1 = new QComboBox(this);
    Label2 = new QLabel(this);
    Combo2 = new QComboBox(this);
    Label3 = new QLabel(this);
    Combo3 = new QComboBox(this);
    lblStrength = new QLabel(this);
    // The length may be typed as well as chosen; the type and case only chosen.
    Combo3->setEditable(true);
    Combo3->setInsertPolicy(QComboBox::NoInsert);
    Label1->setBuddy(Combo1);
    Label2->setBuddy(Combo2);
    Label3->setBuddy(Combo3);

    OKButton->setObjectName(QStringLiteral("OKButton"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Label3->setObjectName(QStringLiteral("Label3"));
    Combo3->setObjectName(QStringLiteral("Combo3"));
    lblStrength->setObjectName(QStringLiteral("lblStrength"));

    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, Combo1);
    setTabOrder(Combo1, Combo2);
    setTabOrder(Combo2, Combo3);

    connect(OKButton, &QPushButton::clicked, this, &Form_PW_Type::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &Form_PW_Type::CancelButton_Click);
    Form_Load();
    for (QComboBox* box : {Combo1, Combo2}) {
        connect(box, &QComboBox::currentIndexChanged, this, &Form_PW_Type::ShowStrength);
    }
    connect(Combo3, &QComboBox::currentTextChanged, this, &Form_PW_Type::ShowStrength);
    ShowStrength();
}

void Form_PW_Type::Form_Load() {
    setWindowTitle(Message(20));
    Label1->setText(Message(20));
    Label2->setText(Message(21));
    Label3->setText(Message(22));
    CancelButton->setText(Message(4));
    OKButton->setText(Message(3));
    const std::pair<QWidget*, QString> accessible[] = {
        {OKButton, Message(3)}, {CancelButton, Message(4)}, {Label1, Message(20)},
        {Combo1, Message(20)},  {Label2, Message(21)},      {Combo2, Message(21)},
        {Label3, Message(22)},  {Combo3, Message(22)}};
    for (const auto& [control, name] : accessible) {
        control->setAccessibleName(name);
    }

    const auto place = [this](QWidget* control, int left, int top, int width, int height) {
        control->setGeometry(TwipsToPixelsX(left, *this), TwipsToPixelsY(top, *this),
                             TwipsToPixelsX(width, *this), TwipsToPixelsY(height, *this));
    };
    place(OKButton, 3840, 120, 1215, 375);
    place(CancelButton, 3840, 600, 1215, 375);
    place(Label1, 120, 120, 1335, 255);
    place(Combo1, 120, 360, 3375, 315);
    place(Label2, 120, 840, 1335, 255);
    place(Combo2, 120, 1080, 3375, 315);
    place(Label3, 120, 1560, 1455, 255);
    place(Combo3, 120, 1800, 3375, 315);
    place(lblStrength, 120, 2200, 3375, 255);
    // A caption longer than its place (as in some languages) may take the width of the box
    // below it rather than be cut.
    for (QLabel* label : {Label1, Label2, Label3}) {
        label->resize(std::clamp(label->sizeHint().width(), label->width(), Combo1->width()),
                      label->height());
    }
    setFixedSize(TwipsToPixelsX(kFormWidth, *this), TwipsToPixelsY(kFormHeight, *this));

    Combo1->clear();
    Combo2->clear();
    Combo3->clear();
    const QStringList words = Message(kMessageSettingWords).split(QLatin1Char(';'));
    const char* const stored[] = {"ALPHA", "NUMERIC", "ALPHANUMERIC", "Y", "N"};
    for (int i = 0; i < 5; ++i) {
        (i < 3 ? Combo1 : Combo2)
            ->addItem(words.value(i, QString::fromLatin1(stored[i])),
                      QString::fromLatin1(stored[i]));
    }
    for (int length = 1; length <= kListedLengths; ++length) {
        Combo3->addItem(QString::number(length));
    }

    const PasswordTypeSettings shown = DialogSettings({pwType_, pwCase_, pwNumChar_});
    ChooseStoredWord(Combo1, shown.type);
    ChooseStoredWord(Combo2, shown.caseSet);
    Combo3->setCurrentText(FromCp1252(shown.length));
}

void Form_PW_Type::ShowStrength() {
    const double bits =
        PasswordStrengthBits({StoredWord(Combo1), StoredWord(Combo2), BoxText(Combo3)});
    lblStrength->setText(Message(kMessageStrength).arg(std::lround(bits)));
    lblStrength->setAccessibleName(lblStrength->text());
}

void Form_PW_Type::OKButton_Click() {
    pwType_ = StoredWord(Combo1);
    pwCase_ = StoredWord(Combo2);
    pwNumChar_ = DialogLength(BoxText(Combo3));
    accept();
}

void Form_PW_Type::CancelButton_Click() {
    reject();
}

}  // namespace keyrack
