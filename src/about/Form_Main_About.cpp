// The About menu of the main window.
#include "about/frmAbout.h"
#include "app/Form_Main.h"

namespace keyrack {

void Form_Main::MNU_About_Click() {
    frmAbout about(services_.prompter, services_.systemInfo, this);
    services_.runAbout(about);
}

}  // namespace keyrack
