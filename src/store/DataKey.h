#pragma once

#include <string>

#include "platform/RandomSource.h"
#include "store/RecordStore.h"

namespace keyrack {

// New per-file keys are drawn from this range: with larger keys ordinary lower-case letters
// would not come back from the cipher.
constexpr int NewKeyLowest = 13;
constexpr int NewKeyHighest = 95;

// The per-file key stored in record 1 (0 when none is stored or it is not a number).
int StoredDataKey(RecordStore& store);

struct DataKeyResult {
    int key = 0;
    bool created = false;
    bool written = true;  // false when a new key could not be stored
};

// The stored key, or a new one drawn from the random source and written to record 1.
DataKeyResult LoadOrCreateDataKey(RecordStore& store, const std::string& path,
                                  platform::RandomSource& random);

}  // namespace keyrack
