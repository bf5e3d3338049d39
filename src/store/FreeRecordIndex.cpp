#include "store/FreeRecordIndex.h"

#include <algorithm>

namespace keyrack {

void FreeRecordIndex::Learn(int upperBound, const std::function<bool(int record)>& isFree) {
    free_.clear();
    for (int record = 1; record <= upperBound; ++record) {
        if (isFree(record)) {
            free_.insert(free_.end(), record);
        }
    }
    upperBound_ = upperBound;
    known_ = true;
}

void FreeRecordIndex::Update(int record, bool isFree) {
    if (!known_) {
        return;
    }
    for (int added = upperBound_ + 1; added < record; ++added) {
        free_.insert(free_.end(), added);
    }
    upperBound_ = std::max(upperBound_, record);
    if (isFree) {
        free_.insert(record);
    } else {
        free_.erase(record);
    }
}

int FreeRecordIndex::FirstFrom(int from) const {
    const auto found = free_.lower_bound(from);
    return found != free_.end() ? *found : 0;
}

}  // namespace keyrack
