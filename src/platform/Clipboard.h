#pragma once

#include <string>

namespace keyrack::platform {

// The desktop's clipboard (not the X11 selection), holding UTF-8 text; tests give their own.
class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Replaces what the clipboard holds by text, marked as a secret so clipboard managers and
    // history tools leave it out.
    virtual void PutSecret(const std::string& text) = 0;
    // The plain text the clipboard holds now, empty when it holds none.
    virtual std::string Text() const = 0;
    virtual void Clear() = 0;
};

class SystemClipboard : public Clipboard {
  public:
    void PutSecret(const std::string& text) override;
    std::string Text() const override;
    void Clear() override;
};

}  // namespace keyrack::platform
