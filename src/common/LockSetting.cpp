#include "common/LockSetting.h"

#include <QSettings>

#include "login/IdleLock.h"

namespace keyrack {

namespace {
const QString kKey = QStringLiteral("LOCK/MINUTES");
}  // namespace

int ReadLockMinutes(const QString& applicationName) {
    const QSettings settings(applicationName.toUpper());
    bool isNumber = false;
    const int stored = settings.value(kKey).toInt(&isNumber);
    return isNumber ? LockMinutesFromSetting(stored) : DefaultLockMinutes;
}

void WriteLockMinutes(const QString& applicationName, int minutes) {
    QSettings settings(applicationName.toUpper());
    settings.setValue(kKey, minutes);
}

}  // namespace keyrack
