#include "store/CsvEntries.h"

#include <map>
#include <unordered_map>

#include "common/Strings.h"
#include "store/Csv.h"
#include "store/EntryRecord.h"
#include "store/RecordCount.h"
#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"
#include "tree/TreePlan.h"

namespace keyrack {

namespace {

constexpr char kPathSeparator = '/';

enum Column { kGroup, kTitle, kUserName, kPassword, kAddress, kColumns };

// Header names, lower case, that the common keepers' exports use for each column.
const std::vector<std::string> kColumnNames[kColumns] = {
    {"group", "folder"},
    {"title", "name"},
    {"username", "user name", "login_username"},
    {"password", "login_password"},
    {"url", "web site", "login_uri"},
};

std::vector<std::string> PathNames(const std::string& path) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(kPathSeparator, start);
        if (end == std::string::npos) {
            end = path.size();
        }
        std::string name = Trim(path.substr(start, end - start));
        if (!name.empty()) {
            names.push_back(std::move(name));
        }
        start = end + 1;
    }
    return names;
}

// Hands out free record numbers from the lowest up, counting each as allocated.
class RecordAllocator {
  public:
    RecordAllocator(RecordStore& store, int recordCount) : store_(store), count_(recordCount) {}

    // n more record numbers, or nothing when the file has no room for them.
    std::optional<std::vector<int>> Take(int n) {
        std::vector<int> records;
        int next = next_;
        for (int i = 0; i < n; ++i) {
            const int record = std::max(store_.FindFreeRecord(next), next);
            if (record > MaxRecordNumber || count_ + i >= MaxRecordNumber) {
                return std::nullopt;
            }
            records.push_back(record);
            next = record + 1;
        }
        next_ = next;
        count_ += n;
        highest_ = records.empty() ? highest_ : std::max(highest_, records.back());
        return records;
    }

    // Covers every record handed out, so the tree's readers reach them.
    int RecordCount() const { return std::max(count_, highest_ - (FirstTreeRecord - 1)); }

  private:
    RecordStore& store_;
    int count_;
    int next_ = FirstTreeRecord;
    int highest_ = 0;
};

}  // namespace

std::vector<CsvEntry> EntriesForExport(RecordStore& store, int dataKey) {
    const std::vector<PlannedNode> plan =
        PlanTree(ReadTreeRecords(store, dataKey, RecordCountInUse(store)));
    std::unordered_map<std::string, std::string> groupPaths;
    std::vector<CsvEntry> entries;
    for (const PlannedNode& node : plan) {
        const std::string& parentPath = groupPaths[node.parentKey];
        if (node.isGroup) {
            const std::string name = node.isDefaultGroup ? std::string() : Trim(node.text);
            groupPaths[node.key] = parentPath.empty() ? name : parentPath + kPathSeparator + name;
            continue;
        }
        const auto field = [&](int number) {
            return Trim(DecodeValue(store.ReadField(number, node.record), dataKey));
        };
        entries.push_back({parentPath, field(1), field(3), field(4), field(2)});
    }
    return entries;
}

std::string ExportCsv(const std::vector<CsvEntry>& entries, const TextConverter& toFile) {
    std::string csv = CsvLine({"Group", "Title", "Username", "Password", "URL", "Notes"});
    const auto converted = [&](const std::string& text) {
        return toFile(text).value_or(std::string());
    };
    for (const CsvEntry& entry : entries) {
        csv += CsvLine({converted(entry.group), converted(entry.title), converted(entry.userName),
                        converted(entry.password), converted(entry.address), std::string()});
    }
    return csv;
}

CsvRead ReadCsvEntries(const std::string& text) {
    const std::vector<CsvRow> rows = ReadCsv(text);
    CsvRead read;
    if (rows.empty()) {
        return read;
    }
    int columnOf[kColumns] = {-1, -1, -1, -1, -1};
    for (int column = 0; column < kColumns; ++column) {
        for (std::size_t i = 0; i < rows[0].size() && columnOf[column] < 0; ++i) {
            const std::string name = ToLowerAscii(Trim(rows[0][i]));
            for (const std::string& known : kColumnNames[column]) {
                if (name == known) {
                    columnOf[column] = static_cast<int>(i);
                }
            }
        }
    }
    if (columnOf[kTitle] < 0) {
        read.skipped = static_cast<int>(rows.size());
        return read;
    }
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const auto cell = [&](Column column) {
            const int i = columnOf[column];
            return i >= 0 && i < static_cast<int>(rows[r].size()) ? rows[r][std::size_t(i)]
                                                                  : std::string();
        };
        read.entries.push_back(
            {cell(kGroup), cell(kTitle), cell(kUserName), cell(kPassword), cell(kAddress)});
    }
    return read;
}

ImportPlan PlanImport(RecordStore& store, int dataKey, const std::vector<CsvEntry>& entries,
                      const TextConverter& toStored, const PasswordTypeSettings& type,
                      platform::RandomSource& random) {
    const int recordCount = RecordCountInUse(store);
    // Existing groups by parent and name; of two alike, the one the tree shows first.
    std::map<std::pair<std::string, std::string>, std::string> groups;
    for (const PlannedNode& node : PlanTree(ReadTreeRecords(store, dataKey, recordCount))) {
        if (node.isGroup && !node.isDefaultGroup) {
            groups.emplace(std::make_pair(node.parentKey, Trim(node.text)), node.key);
        }
    }
    RecordAllocator allocator(store, recordCount);
    ImportPlan plan;
    for (std::size_t row = 0; row < entries.size(); ++row) {
        const CsvEntry& entry = entries[row];
        const auto title = toStored(entry.title);
        const auto address = toStored(entry.address);
        const auto userName = toStored(entry.userName);
        const auto password = toStored(entry.password);
        const auto path = toStored(entry.group);
        if (!title || !address || !userName || !password || !path) {
            ++plan.skipped;
            continue;
        }
        const EntryValues values{Trim(*title), Trim(*address), Trim(*userName), Trim(*password),
                                 type};
        const std::vector<std::string> names = PathNames(*path);
        bool storable = !IsBlank(values.title) && !FirstUnstorableBox(values, dataKey);
        for (const std::string& name : names) {
            storable = storable && StoresIntact(name, dataKey, FieldWidth(8));
        }
        if (!storable) {
            ++plan.skipped;
            continue;
        }

        // The groups of the path that exist already, then records for the rest and the entry.
        std::string parent;
        std::size_t found = 0;
        for (; found < names.size(); ++found) {
            const auto group = groups.find({parent, names[found]});
            if (group == groups.end()) {
                break;
            }
            parent = group->second;
        }
        const auto records = allocator.Take(static_cast<int>(names.size() - found) + 1);
        if (!records) {
            plan.fileFull = true;
            plan.skipped += static_cast<int>(entries.size() - row);
            break;
        }
        for (std::size_t i = found; i < names.size(); ++i) {
            const int record = (*records)[i - found];
            plan.writes.emplace_back(record,
                                     GroupRecordFields(names[i], record, parent, dataKey, random));
            plan.isEntry.push_back(false);
            const std::string groupParent = parent;
            parent = RecordKey(record);
            groups.emplace(std::make_pair(groupParent, names[i]), parent);
        }
        const int record = records->back();
        plan.writes.emplace_back(
            record, EntryRecordFields(values, parent, record, parent, dataKey, random));
        plan.isEntry.push_back(true);
        ++plan.entries;
    }
    plan.recordCount = allocator.RecordCount();
    return plan;
}

ImportResult RunImport(const ImportPlan& plan, const RecordWriter& write) {
    ImportResult result;
    if (plan.writes.empty()) {
        return result;
    }
    if (!write(1, RecordCountFields(plan.recordCount))) {
        result.complete = false;
        return result;
    }
    for (std::size_t i = 0; i < plan.writes.size(); ++i) {
        if (!write(plan.writes[i].first, plan.writes[i].second)) {
            result.complete = false;
            break;
        }
        result.entries += plan.isEntry[i] ? 1 : 0;
    }
    return result;
}

}  // namespace keyrack
