// Any bytes as a data file: load, read every field, plan the tree, save an entry, load again.
#include <cstring>
#include <filesystem>
#include <string>
#include <unordered_set>

#include "FuzzSupport.h"
#include "common/Strings.h"
#include "store/DataKey.h"
#include "store/EntryRecord.h"
#include "store/RecordCount.h"
#include "store/RecordStore.h"
#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"
#include "tree/TreePlan.h"

namespace {

using namespace keyrack;

constexpr std::size_t kMaxRecords = 24;
constexpr int kFallbackKey = 47;

// Memory mirrors every whole record the file holds.
void CheckMemoryEqualsFile(const RecordStore& store, const std::string& path) {
    const std::string file = fuzz::ReadFile(path);
    const std::size_t whole = file.size() / RecordLength;
    fuzz::Check(store.UpperBound() >= static_cast<int>(whole), "every whole record loaded");
    for (std::size_t n = 1; n <= whole; ++n) {
        fuzz::Check(std::memcmp(store.DataRecords[n].bytes.data(),
                                file.data() + (n - 1) * RecordLength, RecordLength) == 0,
                    "memory equals the file");
    }
}

void CheckPlan(const std::vector<PlannedNode>& plan) {
    std::unordered_set<std::string> keys;
    std::unordered_set<int> records;
    for (const PlannedNode& node : plan) {
        fuzz::Check(node.parentKey.empty() || keys.count(node.parentKey) > 0,
                    "parent planned before child");
        fuzz::Check(keys.insert(node.key).second, "keys unique");
        fuzz::Check(node.isGroup || records.insert(node.record).second, "one node per entry");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    std::string title;
    for (int i = input.Byte() % 34; i > 0; --i) {
        title += static_cast<char>(input.Byte());
    }
    const std::string bytes = input.Rest();
    if (bytes.size() > kMaxRecords * RecordLength) {
        return 0;
    }
    const std::string folder = fuzz::ScratchFolder() + "/store";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/cli.rkd";
    fuzz::WriteFile(path, bytes);

    // An old-format file is converted, so the conversion is fuzzed too.
    RecordStore store;
    if (!store.LoadDataFile(path, [] { return true; })) {
        return 0;
    }
    CheckMemoryEqualsFile(store, path);
    for (int record = -1; record <= store.UpperBound() + 1; ++record) {
        for (int field = 0; field <= FieldCount + 1; ++field) {
            store.ReadField(field, record);
        }
    }
    int dataKey = StoredDataKey(store);
    dataKey = dataKey >= 1 && dataKey <= 199 ? dataKey : kFallbackKey;
    const std::vector<TreeRecord> records =
        ReadTreeRecords(store, dataKey, RecordCountInUse(store));
    const std::vector<PlannedNode> plan = PlanTree(records);
    CheckPlan(plan);

    const int record = store.FindFreeRecord(FirstTreeRecord);
    if (record > MaxRecordNumber) {
        return 0;
    }
    const EntryValues values{title, "", "", "", {}};
    fuzz::DrawsFrom random(title);
    const std::string parent = plan.empty() ? std::string() : plan.front().key;
    if (!store.WriteRecord(
            EntryRecordFields(values, RecordKey(record), record, parent, dataKey, random), record,
            path, false)) {
        return 0;
    }
    RecordStore reloaded;
    fuzz::Check(static_cast<bool>(reloaded.LoadDataFile(path)), "a written file loads again");
    CheckMemoryEqualsFile(reloaded, path);
    if (StoresIntact(Trim(title), dataKey, FieldWidth(1))) {
        fuzz::Check(DecodeValue(reloaded.ReadField(1, record), dataKey) == Trim(title),
                    "a value the cipher keeps intact reads back");
    }
    CheckPlan(PlanTree(ReadTreeRecords(reloaded, dataKey, RecordCountInUse(reloaded))));
    return 0;
}
