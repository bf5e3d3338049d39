#include "tree/NodeKeys.h"

#include "common/Strings.h"
#include "store/RecordStore.h"
#include "store/ValueCipher.h"

namespace keyrack {

namespace {

constexpr char kDigits[] = "0123456789ABCDEFGHIJLMNOPQRSTUVW";
constexpr int kBase = 32;
constexpr int kShortFormFrom = 100;

// The place of c in kDigits, worked out from its ranges: every group key of a file is read
// through here.
int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'J') {
        return c - 'A' + 10;
    }
    if (c >= 'L' && c <= 'W') {
        return c - 'L' + 20;
    }
    return -1;
}
static_assert(kDigits[10] == 'A' && kDigits[19] == 'J' && kDigits[20] == 'L' && kDigits[31] == 'W');

}  // namespace

std::string RecordKey(int record) {
    return "K" + std::to_string(record);
}

int RecordOfKey(std::string_view key) {
    if (key.size() < 2 || key.size() > 6 || key[0] != 'K') {
        return 0;
    }
    int number = 0;
    for (std::size_t i = 1; i < key.size(); ++i) {
        if (key[i] < '0' || key[i] > '9') {
            return 0;
        }
        number = number * 10 + (key[i] - '0');
    }
    // Only the form RecordKey writes: no leading zero.
    return key[1] != '0' ? number : 0;
}

bool IsSoundKey(const std::string& key, int record) {
    const int named = RecordOfKey(key);
    if (key == DefaultGroupKey ||
        (named >= 1 && named < kShortFormFrom && record < kShortFormFrom)) {
        return true;
    }
    return named == record && named <= MaxRecordNumber;
}

std::string KeyCutByEarlierVersions(int record, int dataKey) {
    if (record < kShortFormFrom) {
        return {};
    }
    constexpr std::size_t kKeyFieldWidth = 10;
    const std::string stored =
        EncodeValue(RecordKey(record), dataKey, false, 0).substr(0, kKeyFieldWidth);
    return KeyFromStored(Trim(DecodeValue(stored, dataKey)));
}

std::string StoredKeyForm(const std::string& key) {
    const int record = RecordOfKey(key);
    if (record < kShortFormFrom || record > MaxRecordNumber) {
        return key;
    }
    return {kDigits[record / (kBase * kBase)], kDigits[record / kBase % kBase],
            kDigits[record % kBase]};
}

std::string KeyFromStored(const std::string& stored) {
    if (stored.size() != 3 || stored[0] == 'K') {
        return stored;
    }
    int number = 0;
    for (char c : stored) {
        const int digit = DigitValue(c);
        if (digit < 0) {
            return stored;
        }
        number = number * kBase + digit;
    }
    return number >= kShortFormFrom ? RecordKey(number) : stored;
}

}  // namespace keyrack
