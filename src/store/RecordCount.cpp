#include "store/RecordCount.h"

#include <algorithm>

namespace keyrack {

namespace {

constexpr int kCountField = 6;
constexpr int kHeaderRecord = 1;

// The stored count when it is digits only and fits the file; -1 otherwise.
int StoredCount(RecordStore& store) {
    const std::string text = store.ReadField(kCountField, kHeaderRecord);
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return -1;
    }
    const int count = std::stoi(text);
    return count <= MaxRecordNumber - FirstTreeRecord + 1 ? count : -1;
}

}  // namespace

int RecordCountInUse(RecordStore& store) {
    const int inUse = store.HighestRecordInUse(FirstTreeRecord) - FirstTreeRecord + 1;
    return std::max(StoredCount(store), inUse);
}

}  // namespace keyrack
