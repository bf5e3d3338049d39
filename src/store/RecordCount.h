#pragma once

#include "store/RecordStore.h"

namespace keyrack {

// The number of tree records allocated so far. The count stored in record 1 is taken when it
// is a whole number that covers every tree record in use; a damaged or too low count gives
// way to the highest tree record in use, so no entry is hidden or overwritten.
int RecordCountInUse(RecordStore& store);

}  // namespace keyrack
