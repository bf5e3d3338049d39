#pragma once

#include <string>

namespace keyrack::platform {

// How a typed target is opened where the desktop has no single "open" for everything.
struct Opening {
    enum class Kind {
        StartProgram,  // an existing local file the user may run
        OpenFile,      // any other existing local file or folder
        OpenAddress,   // anything else: read as an address a person would type
    };
    Kind kind;
    // The local path for the first two kinds (relative targets resolved against the working
    // folder); the target unchanged for an address.
    std::string target;
};

Opening ChooseOpening(const std::string& target, const std::string& workingFolder);

}  // namespace keyrack::platform
