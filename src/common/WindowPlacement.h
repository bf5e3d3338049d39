#pragma once

#include <QString>

class QWidget;

namespace keyrack {

// Places form from the per-user settings (group "WINDOW": "STATE", "LEFT", "TOP", positions
// in twips) kept under applicationName in upper case. Without stored values the form is
// centred; a stored position keeps at least 100 twips from the screen's top-left corner.
// The program reads the position and never writes it.
void RestoreWindowPlacement(QWidget& form, const QString& applicationName);

// The form's size ("WIDTH", "HEIGHT") and the width of its splitter's first pane ("SPLIT"), in
// twips, in the same group: kept when the window closes, given back at the next start (before
// the placement, which centres by the size). Without stored values the design size stays.
// Returns the first pane's width in pixels, 0 when none is stored: it can only be given to
// the splitter once the splitter has its width.
int RestoreWindowSize(QWidget& form, const QString& applicationName);
void KeepWindowSize(const QWidget& form, int firstPaneWidth, const QString& applicationName);

}  // namespace keyrack
