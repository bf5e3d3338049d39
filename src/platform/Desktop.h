#pragma once

#include <string>

namespace keyrack::platform {

// Opens what a user typed as an address: a web address, a document or folder, or a program.
class Desktop {
  public:
    virtual ~Desktop() = default;
    // Hands target (UTF-8, as typed) to the desktop with workingFolder as the working
    // directory; false when nothing could be opened or started.
    virtual bool Open(const std::string& target, const std::string& workingFolder) = 0;
};

// Windows: the shell's "open" verb. Elsewhere: a program file is started on its own, without a
// shell and without arguments; another file or folder, or an address, goes to the desktop's
// handler.
class SystemDesktop : public Desktop {
  public:
    bool Open(const std::string& target, const std::string& workingFolder) override;
};

}  // namespace keyrack::platform
