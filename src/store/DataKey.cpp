#include "store/DataKey.h"

#include <algorithm>
#include <climits>

#include "common/Strings.h"
#include "store/ValueCipher.h"

namespace keyrack {

namespace {
constexpr int kKeyField = 5;
constexpr int kHeaderRecord = 1;
}  // namespace

int StoredDataKey(RecordStore& store) {
    const double value = Val(DecodeValue(store.ReadField(kKeyField, kHeaderRecord), LoginKey));
    // A key too large for the file's 16-bit keys behaves like any other out-of-range key.
    return static_cast<int>(RoundHalfEven(std::clamp(value, -32768.0, 32767.0)));
}

DataKeyResult LoadOrCreateDataKey(RecordStore& store, const std::string& path,
                                  platform::RandomSource& random) {
    DataKeyResult result;
    result.key = StoredDataKey(store);
    if (result.key != 0) {
        return result;
    }
    result.key = NewKeyLowest + static_cast<int>(random.Below(NewKeyHighest - NewKeyLowest + 1));
    result.created = true;
    FieldValues fields;
    fields[kKeyField - 1] = EncodeValue(std::to_string(result.key), LoginKey, true, 100, random);
    result.written = store.WriteRecord(fields, kHeaderRecord, path, false);
    return result;
}

}  // namespace keyrack
