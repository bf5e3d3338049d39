#pragma once

#include <QIcon>
#include <functional>

namespace keyrack {

// An icon made only when it is first drawn or measured. The style's pictures are decoded from
// image files, which the main window, built before the login, would otherwise pay for while the
// user waits for the login window.
QIcon DeferredIcon(std::function<QIcon()> make);

}  // namespace keyrack
