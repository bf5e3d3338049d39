#pragma once

#include <QIcon>

namespace keyrack {

// Keyrack's own icon, drawn from its picture in the program's resources at the usual sizes.
QIcon ProgramIcon();

}  // namespace keyrack
