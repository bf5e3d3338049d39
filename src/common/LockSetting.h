#pragma once

#include <QString>

namespace keyrack {

// The per-user choice of minutes without use before the window locks (0: never), kept beside
// the window placement: group "LOCK", key "MINUTES".
int ReadLockMinutes(const QString& applicationName);
void WriteLockMinutes(const QString& applicationName, int minutes);

}  // namespace keyrack
