#pragma once

#include <QString>

class QWidget;

namespace keyrack {

// Places form from the per-user settings (group "WINDOW": "STATE", "LEFT", "TOP", positions
// in twips) kept under applicationName in upper case. Without stored values the form is
// centred; a stored position keeps at least 100 twips from the screen's top-left corner.
// The program reads these settings and never writes them.
void RestoreWindowPlacement(QWidget& form, const QString& applicationName);

}  // namespace keyrack
