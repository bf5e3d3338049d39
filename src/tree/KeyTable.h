#pragma once

#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/RecordStore.h"
#include "tree/NodeKeys.h"

namespace keyrack {

// A value for each node key. Nearly every key is a record's own ("K" and its number): those
// are found by their number, without hashing, which matters when every record of a large file
// is looked up several times; other keys are looked up by their text. Keys are held as views:
// the text of a key that is given a value must stay where it is while the table holds it.
template <typename Value>
class KeyTable {
  public:
    KeyTable() : byRecord_(static_cast<std::size_t>(MaxRecordNumber) + 1) {}

    Value& operator[](std::string_view key) {
        const int record = RecordNumberIn(key);
        return record > 0 ? byRecord_[static_cast<std::size_t>(record)] : others_[key];
    }

    // Value() for a key not given one.
    Value Get(std::string_view key) const {
        const int record = RecordNumberIn(key);
        if (record > 0) {
            return byRecord_[static_cast<std::size_t>(record)];
        }
        const auto found = others_.find(key);
        return found != others_.end() ? found->second : Value();
    }

    void Erase(std::string_view key) {
        const int record = RecordNumberIn(key);
        if (record > 0) {
            byRecord_[static_cast<std::size_t>(record)] = Value();
        } else {
            others_.erase(key);
        }
    }

    void Clear() {
        byRecord_.assign(byRecord_.size(), Value());
        others_.clear();
    }

  private:
    static int RecordNumberIn(std::string_view key) {
        const int record = RecordOfKey(key);
        return record <= MaxRecordNumber ? record : 0;
    }

    std::vector<Value> byRecord_;
    std::unordered_map<std::string_view, Value> others_;
};

}  // namespace keyrack
