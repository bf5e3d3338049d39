#pragma once

#include <QDialog>
#include <string>

class QComboBox;
class QLabel;
class QPushButton;

namespace keyrack {

// The password type dialog: changes the generator's type, case and length settings. It works
// on the settings it is given (the main window's) and keeps none of its own: OK writes the
// three boxes into them, Cancel and Escape leave them as they were.
class Form_PW_Type : public QDialog {
    Q_OBJECT

  public:
    Form_PW_Type(std::string& pwType, std::string& pwCase, std::string& pwNumChar,
                 QWidget* parent = nullptr);

    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* Combo2 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* Combo3 = nullptr;
    QLabel* lblStrength = nullptr;

    void OKButton_Click();
    void CancelButton_Click();

  private:
    void Form_Load();
    void ShowStrength();

    std::string& pwType_;
    std::string& pwCase_;
    std::string& pwNumChar_;
};

}  // namespace keyrack
