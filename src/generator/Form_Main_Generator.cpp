// The main window's Generate and Change Type buttons.
#include <QLineEdit>

#include "app/Form_Main.h"
#include "common/Cp1252.h"
#include "generator/Form_PW_Type.h"
#include "generator/PasswordGenerator.h"

namespace keyrack {

// The current settings are used as they stand, so a choice made in the password type dialog
// for the shown entry is not replaced by the entry's stored one.
void Form_Main::Command6_Click() {
    const GeneratedPassword generated =
        GeneratePassword({pw_Type, pw_Case, pw_NumChar}, services_.random);
    pw_Type = generated.used.type;
    pw_Case = generated.used.caseSet;
    pw_NumChar = generated.used.length;
    DisplayPWType();
    Text3->setText(FromCp1252(generated.password));
}

void Form_Main::Command8_Click() {
    auto* dialog = new Form_PW_Type(pw_Type, pw_Case, pw_NumChar, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, &Form_Main::DisplayPWType);
    dialog->open();
}

}  // namespace keyrack
