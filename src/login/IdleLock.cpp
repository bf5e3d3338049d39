#include "login/IdleLock.h"

namespace keyrack {

int LockMinutesFromSetting(int stored) {
    for (int choice : LockChoices) {
        if (choice == stored) {
            return stored;
        }
    }
    return DefaultLockMinutes;
}

bool IdleLockDue(long long lastInputMilliseconds, long long nowMilliseconds, int minutes) {
    return minutes > 0 && nowMilliseconds - lastInputMilliseconds >= minutes * 60000LL;
}

}  // namespace keyrack
