#pragma once

#include <functional>

#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/OneShotTimer.h"
#include "platform/Prompter.h"
#include "platform/RandomSource.h"
#include "platform/SystemInfo.h"
#include "store/FileIo.h"
#include "store/ProtectedFile.h"

namespace keyrack {

class frmAbout;
class frmLogin;

// What the main window takes from the system; tests give their own.
struct WindowServices {
    platform::Prompter& prompter;
    platform::RandomSource& random;
    platform::Clock& clock;
    // Shows the login dialog modally and returns when it has closed.
    std::function<void(frmLogin&)> runLogin;
    // Every read, write and copy of the program's files.
    FileIo& files;
    // What the About box asks of the system.
    platform::SystemInfo& systemInfo;
    // Shows the About box modally and returns when it has closed.
    std::function<void(frmAbout&)> runAbout;
    // Left null, the window uses the system's own.
    platform::Clipboard* clipboard = nullptr;
    platform::OneShotTimer* clipboardTimer = nullptr;
    platform::Desktop* desktop = nullptr;
    // The key derivation's cost for a file protected from now on.
    KdfParams kdf = KdfParams::Default();
};

}  // namespace keyrack
