#include "store/CsvEntries.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <unordered_map>

#include "common/Strings.h"
#include "store/Csv.h"
#include "store/EntryRecord.h"
#include "store/ProtectedRecord.h"
#include "store/RecordCount.h"
#include "store/ValueCodec.h"
#include "tree/DetailBoxes.h"
#include "tree/NodeKeys.h"
#include "tree/TreePlan.h"

namespace keyrack {

namespace {

constexpr char kPathSeparator = '/';
constexpr char kGroupingSeparator = '\\';
// The first group of every path in the exports of keepers that hold all in one root group.
const char* const kExporterRoots[] = {"Root", "Passwords"};

enum Column { kGroup, kGrouping, kTitle, kUserName, kPassword, kAddress, kColumns };

// Header names, lower case, that the common keepers' exports use for each column.
const std::vector<std::string> kColumnNames[kColumns] = {
    {"group", "folder"},
    {"grouping"},
    {"title", "name"},
    {"username", "user name", "login_username"},
    {"password", "login_password"},
    {"url", "web site", "login_uri"},
};

std::vector<std::string> Split(const std::string& path, char separator) {
    std::vector<std::string> names;
    if (path.empty()) {
        return names;
    }
    std::size_t start = 0;
    for (std::size_t end; (end = path.find(separator, start)) != std::string::npos;
         start = end + 1) {
        names.push_back(path.substr(start, end - start));
    }
    names.push_back(path.substr(start));
    return names;
}

// Trimmed, without the empty ones.
std::vector<std::string> GroupNames(const std::vector<std::string>& names) {
    std::vector<std::string> kept;
    for (const std::string& name : names) {
        if (!IsBlank(name)) {
            kept.push_back(Trim(name));
        }
    }
    return kept;
}

// The host name of a web address: what follows the scheme, without user and port, up to the
// path. Any other address (a program, a document) stands for itself.
std::string HostOf(const std::string& address) {
    std::string rest = Trim(address);
    const std::size_t scheme = rest.find("://");
    if (scheme == std::string::npos) {
        return rest;
    }
    rest = rest.substr(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    const std::size_t user = rest.rfind('@');
    if (user != std::string::npos) {
        rest = rest.substr(user + 1);
    }
    if (rest.empty() || rest.front() != '[') {
        rest = rest.substr(0, rest.find(':'));
    }
    return rest;
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
    std::unordered_map<std::string, std::vector<std::string>> groupPaths;
    std::vector<CsvEntry> entries;
    entries.reserve(plan.size());
    for (const PlannedNode& node : plan) {
        // A reference stays valid as the map grows: its elements never move.
        const std::vector<std::string>& parentPath = groupPaths[node.parentKey];
        if (node.isGroup) {
            std::vector<std::string>& path = groupPaths[node.key];
            path = parentPath;
            if (!node.isDefaultGroup) {
                path.push_back(Trim(node.text));
            }
            continue;
        }
        const auto field = [&](int number) {
            return ReadValue(store, number, node.record, dataKey);
        };
        // An entry's text is its title as the tree's reading decoded it.
        entries.push_back(
            {parentPath, Trim(node.text), Trim(field(3)), field(4), Trim(field(2)), 0});
    }
    return entries;
}

std::string ExportCsv(const std::vector<CsvEntry>& entries, const TextConverter& toFile) {
    std::string csv = CsvLine({"Group", "Title", "Username", "Password", "URL", "Notes"});
    // Room for every row at once, so that the text is never moved as it grows.
    std::size_t room = csv.size();
    for (const CsvEntry& entry : entries) {
        room += entry.title.size() + entry.userName.size() + entry.password.size() +
                entry.address.size() + 16;
        for (const std::string& group : entry.groups) {
            room += group.size() + 1;
        }
    }
    csv.reserve(room + room / 8);
    const auto append = [&](const std::string& text) {
        const std::optional<std::string> converted = toFile(text);
        AppendCsvField(csv, converted ? *converted : std::string());
        csv += ',';
    };
    // The entries of a group come one after another: their path is joined and converted once.
    const std::vector<std::string>* pathOf = nullptr;
    std::string path;
    for (const CsvEntry& entry : entries) {
        if (pathOf == nullptr || entry.groups != *pathOf) {
            std::string joined;
            for (std::size_t i = 0; i < entry.groups.size(); ++i) {
                if (i > 0) {
                    joined += kPathSeparator;
                }
                joined += entry.groups[i];
            }
            path.clear();
            AppendCsvField(path, toFile(joined).value_or(std::string()));
            pathOf = &entry.groups;
        }
        csv += path;
        csv += ',';
        for (const std::string* value :
             {&entry.title, &entry.userName, &entry.password, &entry.address}) {
            append(*value);
        }
        // The notes column stays empty.
        csv += kCsvLineEnd;
    }
    return csv;
}

CsvEntryReader::CsvEntryReader(CsvReader& rows, std::string rootToDrop)
    : rows_(rows),
      rootToDrop_(std::move(rootToDrop)),
      columnOf_(kColumns, -1),
      everyPathHasRoot_(std::size(kExporterRoots), true) {
    bool broken = false;
    if (!rows_.Next(header_, broken)) {
        return;
    }
    number_ = 1;
    kept_.assign(header_.size(), false);
    dropped_.assign(header_.size(), false);
    for (int column = 0; column < kColumns; ++column) {
        for (std::size_t i = 0; i < header_.size() && columnOf_[column] < 0; ++i) {
            const std::string name = ToLowerAscii(Trim(header_[i]));
            for (const std::string& known : kColumnNames[column]) {
                if (name == known) {
                    columnOf_[column] = static_cast<int>(i);
                    kept_[i] = true;
                }
            }
        }
    }
    named_ = !broken && (columnOf_[kTitle] >= 0 || columnOf_[kAddress] >= 0);
    if (!named_) {
        Skip({});
    }
}

void CsvEntryReader::Skip(const std::string& title) {
    if (read_.skippedRows.size() < kNamedSkippedRows) {
        read_.skippedRows.push_back({number_, title, SkipReason::Unreadable});
    }
    ++read_.skipped;
}

bool CsvEntryReader::Next(CsvEntry& entry) {
    bool broken = false;
    while (rows_.Next(row_, broken)) {
        ++number_;
        const auto cell = [&](Column column) {
            const int i = columnOf_[column];
            return named_ && i >= 0 && i < static_cast<int>(row_.size()) ? row_[std::size_t(i)]
                                                                         : std::string();
        };
        if (!named_ || broken) {
            Skip(cell(kTitle));
            continue;
        }
        for (std::size_t i = 0; i < row_.size() && i < header_.size(); ++i) {
            dropped_[i] = dropped_[i] || (!kept_[i] && !IsBlankOrLineBreaks(row_[i]));
        }
        std::vector<std::string> groups = Split(cell(kGroup), kPathSeparator);
        if (groups.empty()) {
            groups = Split(cell(kGrouping), kGroupingSeparator);
        }
        for (std::size_t root = 0; root < everyPathHasRoot_.size(); ++root) {
            everyPathHasRoot_[root] = everyPathHasRoot_[root] && !groups.empty() &&
                                      Trim(groups.front()) == kExporterRoots[root];
        }
        anyEntry_ = true;
        if (!rootToDrop_.empty() && !groups.empty() && Trim(groups.front()) == rootToDrop_) {
            groups.erase(groups.begin());
        }
        entry = {std::move(groups), cell(kTitle),   cell(kUserName),
                 cell(kPassword),   cell(kAddress), number_};
        return true;
    }
    return false;
}

CsvRead CsvEntryReader::Read() const {
    CsvRead read = read_;
    for (std::size_t i = 0; i < header_.size(); ++i) {
        if (dropped_[i]) {
            read.droppedColumns.push_back(Trim(header_[i]));
        }
    }
    return read;
}

std::string CsvEntryReader::ExporterRoot() const {
    for (std::size_t root = 0; anyEntry_ && root < everyPathHasRoot_.size(); ++root) {
        if (everyPathHasRoot_[root]) {
            return kExporterRoots[root];
        }
    }
    return {};
}

ImportPlan PlanImport(RecordStore& store, int dataKey, const EntrySource& next,
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
    // At most one write per record: growing the list would move every write made so far.
    plan.writes.reserve(static_cast<std::size_t>(MaxRecordNumber));
    // Record 1's count leads the batch; it is known once every record is placed.
    plan.writes.emplace_back(1, FieldValues{});
    plan.isEntry.push_back(false);
    const auto skip = [&plan](const CsvEntry& entry, const std::string& title, SkipReason why) {
        if (plan.skippedRows.size() < kNamedSkippedRows) {
            plan.skippedRows.push_back({entry.row, title, why});
        }
        ++plan.skipped;
    };
    CsvEntry entry;
    while (next(entry)) {
        const std::string flatTitle = FlattenTitle(entry.title);
        const std::string fileTitle =
            IsBlankOrLineBreaks(flatTitle) ? HostOf(entry.address) : flatTitle;
        if (IsBlankOrLineBreaks(fileTitle)) {
            skip(entry, fileTitle, SkipReason::NoTitle);
            continue;
        }
        const std::vector<std::string> fileNames = GroupNames(entry.groups);
        if (fileNames.size() > static_cast<std::size_t>(MaxGroupDepth)) {
            skip(entry, fileTitle, SkipReason::TooDeep);
            continue;
        }
        const auto title = toStored(fileTitle);
        const auto address = toStored(entry.address);
        const auto userName = toStored(entry.userName);
        const auto password = toStored(entry.password);
        std::vector<std::string> names;
        bool storable = title && address && userName && password;
        for (const std::string& name : fileNames) {
            const auto stored = toStored(name);
            storable =
                storable && stored && FitsWidth(store.Kind(), *stored, dataKey, FieldWidth(8));
            names.push_back(stored.value_or(std::string()));
        }
        if (!storable) {
            skip(entry, fileTitle, SkipReason::CannotStore);
            continue;
        }
        const EntryValues values{*title, Trim(*address), Trim(*userName), *password, type};
        // The data file keeps a password of spaces alone as an empty one.
        const bool spacesOnly = !values.password.empty() && IsBlank(values.password);
        if (spacesOnly || FirstUnfittingBox(store.Kind(), values, dataKey)) {
            skip(entry, fileTitle, SkipReason::CannotStore);
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
            do {
                skip(entry, FlattenTitle(entry.title), SkipReason::FileFull);
            } while (next(entry));
            break;
        }
        for (std::size_t i = found; i < names.size(); ++i) {
            const int record = (*records)[i - found];
            plan.writes.emplace_back(
                record, GroupRecordFields(store.Kind(), names[i], record, parent, dataKey, random));
            plan.isEntry.push_back(false);
            const std::string groupParent = parent;
            parent = RecordKey(record);
            groups.emplace(std::make_pair(groupParent, names[i]), parent);
        }
        const int record = records->back();
        plan.writes.emplace_back(record, EntryRecordFields(store.Kind(), values, parent, record,
                                                           parent, dataKey, random));
        plan.isEntry.push_back(true);
        ++plan.entries;
    }
    plan.recordCount = allocator.RecordCount();
    if (plan.writes.size() == 1) {
        plan.writes.clear();
        plan.isEntry.clear();
    } else {
        plan.writes.front().second = RecordCountFields(plan.recordCount);
    }
    return plan;
}

ImportResult RunImport(const ImportPlan& plan, const BatchWriter& write) {
    ImportResult result;
    if (plan.writes.empty()) {
        return result;
    }
    result.complete = write(plan.writes);
    result.entries = result.complete ? plan.entries : 0;
    result.notWritten = plan.entries - result.entries;
    return result;
}

}  // namespace keyrack
