#include "store/CsvEntries.h"

#include <algorithm>
#include <deque>
#include <iterator>
#include <map>
#include <utility>

#include "common/Strings.h"
#include "common/Utf8.h"
#include "store/Csv.h"
#include "store/EntryRecord.h"
#include "store/ImportEncoder.h"
#include "store/ProtectedRecord.h"
#include "store/RecordCount.h"
#include "store/ValueCipher.h"
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

// The parts of path between separators, into names; a list reused from row to row keeps its room.
void SplitInto(std::string_view path, char separator, std::vector<std::string>& names) {
    names.clear();
    if (path.empty()) {
        return;
    }
    std::size_t start = 0;
    for (std::size_t end; (end = path.find(separator, start)) != std::string_view::npos;
         start = end + 1) {
        names.emplace_back(path.substr(start, end - start));
    }
    names.emplace_back(path.substr(start));
}

// Trimmed, without the empty ones, into kept.
void GroupNamesInto(const std::vector<std::string>& names, std::vector<std::string>& kept) {
    kept.clear();
    for (const std::string& name : names) {
        if (!IsBlank(name)) {
            kept.emplace_back(TrimmedView(name));
        }
    }
}

// Without the spaces at either end, in place.
void TrimInPlace(std::string& text) {
    text.erase(text.find_last_not_of(' ') + 1);
    text.erase(0, text.find_first_not_of(' '));
}

// A (parent key, name) pair of the import's group index, looked up by views of both: a row's
// path is then looked up without copying its names.
struct GroupKeyLess {
    using is_transparent = void;
    template <typename A, typename B>
    bool operator()(const A& a, const B& b) const {
        return std::pair<std::string_view, std::string_view>(a.first, a.second) <
               std::pair<std::string_view, std::string_view>(b.first, b.second);
    }
};

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

    // n more record numbers into records; false, with nothing taken, when the file has no room
    // for them.
    bool Take(int n, std::vector<int>& records) {
        records.clear();
        int next = next_;
        for (int i = 0; i < n; ++i) {
            const int record = std::max(store_.FindFreeRecord(next), next);
            if (record > MaxRecordNumber || count_ + i >= MaxRecordNumber) {
                return false;
            }
            records.push_back(record);
            next = record + 1;
        }
        next_ = next;
        count_ += n;
        highest_ = records.empty() ? highest_ : std::max(highest_, records.back());
        return true;
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

namespace {

// The path of a group from the top down, its names trimmed, and the same joined by "/".
struct ExportGroup {
    std::vector<std::string> names;
    std::string joined;
};

// One entry on its way out: views of its values last until the next entry.
struct ExportedEntry {
    const ExportGroup& group;
    std::string_view title;
    std::string_view userName;
    std::string_view password;
    std::string_view address;
};

// A field's text in scratch, which is reused from field to field: a plain file's value is
// decoded in place rather than into a string of its own.
std::string_view ReadValueInto(RecordStore& store, int field, int record, int dataKey,
                               std::string& scratch) {
    scratch.clear();
    if (const auto clean = store.CleanPlainField(field, record)) {
        AppendDecodedValue(*clean, dataKey, scratch);
    } else {
        scratch = ReadValue(store, field, record, dataKey);
    }
    return scratch;
}

// Calls visit with every entry of the tree, in the tree's order, as the data file holds its
// text: the title, address and user name trimmed as the editor keeps them, the password exactly.
// Each group's path is made once, as the entries of a group come one after another.
template <typename Visit>
int ForEachEntryForExport(RecordStore& store, int dataKey, Visit visit) {
    const std::vector<PlannedNode> plan =
        PlanTree(ReadTreeRecords(store, dataKey, RecordCountInUse(store)));
    // The path of each group by its place in the plan; a deque's elements never move.
    std::deque<ExportGroup> paths;
    std::vector<const ExportGroup*> pathAt(plan.size(), nullptr);
    const ExportGroup topLevel;
    std::string address;
    std::string userName;
    std::string password;
    int entries = 0;
    for (std::size_t at = 0; at < plan.size(); ++at) {
        const PlannedNode& node = plan[at];
        const ExportGroup& parent =
            node.parent < 0 ? topLevel : *pathAt[static_cast<std::size_t>(node.parent)];
        if (node.isGroup) {
            ExportGroup& group = paths.emplace_back(parent);
            pathAt[at] = &group;
            if (!node.isDefaultGroup) {
                group.names.push_back(Trim(node.text));
                if (group.names.size() > 1) {
                    group.joined += kPathSeparator;
                }
                group.joined += group.names.back();
            }
            continue;
        }
        visit(ExportedEntry{parent, TrimmedView(node.text),
                            TrimmedView(ReadValueInto(store, 3, node.record, dataKey, userName)),
                            ReadValueInto(store, 4, node.record, dataKey, password),
                            TrimmedView(ReadValueInto(store, 2, node.record, dataKey, address))});
        ++entries;
    }
    return entries;
}

}  // namespace

std::vector<CsvEntry> EntriesForExport(RecordStore& store, int dataKey) {
    std::vector<CsvEntry> entries;
    ForEachEntryForExport(store, dataKey, [&entries](const ExportedEntry& entry) {
        entries.push_back({entry.group.names, std::string(entry.title), std::string(entry.userName),
                           std::string(entry.password), std::string(entry.address), 0});
    });
    return entries;
}

CsvExport ExportCsv(RecordStore& store, int dataKey, const TextConverter& toFile) {
    CsvExport out;
    std::string& csv = out.text;
    csv = CsvLine({"Group", "Title", "Username", "Password", "URL", "Notes"});
    // Room for a row of values of a plain file's longest at once: memory reserved and never
    // touched costs nothing, and the text is then seldom moved as it grows.
    constexpr std::size_t kRoomPerRow = 4 * (PlainCapacity(100) + 3) + 64;
    csv.reserve(csv.size() + static_cast<std::size_t>(store.UpperBound()) * kRoomPerRow);
    // ASCII is the same bytes in every character set the two sides use: only other text is
    // converted.
    const auto append = [&](std::string_view text) {
        if (IsAscii(text)) {
            AppendCsvField(csv, text);
        } else {
            AppendCsvField(csv, toFile(std::string(text)).value_or(std::string()));
        }
        csv += ',';
    };
    // The entries of a group come one after another: their path is converted once.
    const ExportGroup* pathOf = nullptr;
    std::string path;
    out.entries = ForEachEntryForExport(store, dataKey, [&](const ExportedEntry& entry) {
        if (&entry.group != pathOf) {
            path.clear();
            AppendCsvField(path, toFile(entry.group.joined).value_or(std::string()));
            pathOf = &entry.group;
        }
        csv += path;
        csv += ',';
        for (std::string_view value :
             {entry.title, entry.userName, entry.password, entry.address}) {
            append(value);
        }
        // The notes column stays empty.
        csv += kCsvLineEnd;
    });
    return out;
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

CsvEntryReader::CsvEntryReader(CsvReader& rows, FirstEntrysRoot) : CsvEntryReader(rows) {
    rootOfFirstEntry_ = true;
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
            return named_ && i >= 0 && i < static_cast<int>(row_.size())
                       ? std::string_view(row_[std::size_t(i)])
                       : std::string_view();
        };
        if (!named_ || broken) {
            Skip(std::string(cell(kTitle)));
            continue;
        }
        for (std::size_t i = 0; i < row_.size() && i < header_.size(); ++i) {
            dropped_[i] = dropped_[i] || (!kept_[i] && !IsBlankOrLineBreaks(row_[i]));
        }
        // The entry's lists and texts are filled where they are, keeping their room from row to
        // row.
        std::vector<std::string>& groups = entry.groups;
        SplitInto(cell(kGroup), kPathSeparator, groups);
        if (groups.empty()) {
            SplitInto(cell(kGrouping), kGroupingSeparator, groups);
        }
        const std::string_view first = groups.empty() ? "" : TrimmedView(groups.front());
        for (std::size_t root = 0; root < everyPathHasRoot_.size(); ++root) {
            everyPathHasRoot_[root] =
                everyPathHasRoot_[root] && !groups.empty() && first == kExporterRoots[root];
        }
        if (rootOfFirstEntry_ && !anyEntry_ && !groups.empty()) {
            for (const char* root : kExporterRoots) {
                rootToDrop_ = first == root ? std::string(first) : rootToDrop_;
            }
        }
        anyEntry_ = true;
        if (!rootToDrop_.empty() && !groups.empty() && first == rootToDrop_) {
            groups.erase(groups.begin());
        }
        // Each column is its own cell of the row, which the next row overwrites: the values
        // are taken, not copied.
        const auto take = [&](Column column, std::string& into) {
            const int i = columnOf_[column];
            if (i >= 0 && i < static_cast<int>(row_.size())) {
                into.swap(row_[std::size_t(i)]);
            } else {
                into.clear();
            }
        };
        take(kTitle, entry.title);
        take(kUserName, entry.userName);
        take(kPassword, entry.password);
        take(kAddress, entry.address);
        entry.row = number_;
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
    std::map<std::pair<std::string, std::string>, std::string, GroupKeyLess> groups;
    for (const PlannedNode& node : PlanTree(ReadTreeRecords(store, dataKey, recordCount))) {
        if (node.isGroup && !node.isDefaultGroup) {
            groups.emplace(std::make_pair(node.parentKey, Trim(node.text)), node.key);
        }
    }
    RecordAllocator allocator(store, recordCount);
    ImportPlan plan;
    RecordBatch& batch = plan.batch;
    batch.grownFrom = store.DataRecords.size();
    // Record 1's count leads the changes; it is known once every record is placed.
    batch.changes.emplace_back();
    ImportEncoder encoder(store, batch, dataKey, random);
    const auto skip = [&plan](const CsvEntry& entry, const std::string& title, SkipReason why) {
        if (plan.skippedRows.size() < kNamedSkippedRows) {
            plan.skippedRows.push_back({entry.row, title, why});
        }
        ++plan.skipped;
    };
    // A text of the CSV in the data file's character set, in place; false when it has no form
    // there. ASCII is the same in both.
    const auto convert = [&toStored](std::string& text) {
        if (IsAscii(text)) {
            return true;
        }
        auto converted = toStored(text);
        if (converted) {
            text = std::move(*converted);
        }
        return converted.has_value();
    };
    // Lists kept from row to row, so that each keeps its room.
    CsvEntry entry;
    std::vector<std::string> fileNames;
    std::vector<std::string> names;
    std::vector<int> records;
    while (next(entry)) {
        std::string fileTitle = FlattenTitle(entry.title);
        if (IsBlankOrLineBreaks(fileTitle)) {
            fileTitle = HostOf(entry.address);
        }
        if (IsBlankOrLineBreaks(fileTitle)) {
            skip(entry, fileTitle, SkipReason::NoTitle);
            continue;
        }
        GroupNamesInto(entry.groups, fileNames);
        if (fileNames.size() > static_cast<std::size_t>(MaxGroupDepth)) {
            skip(entry, fileTitle, SkipReason::TooDeep);
            continue;
        }
        std::string title = fileTitle;
        bool storable = convert(title) && convert(entry.address) && convert(entry.userName) &&
                        convert(entry.password);
        names = fileNames;
        for (std::string& name : names) {
            storable =
                storable && convert(name) && FitsWidth(store.Kind(), name, dataKey, FieldWidth(8));
        }
        if (!storable) {
            skip(entry, fileTitle, SkipReason::CannotStore);
            continue;
        }
        TrimInPlace(entry.address);
        TrimInPlace(entry.userName);
        EntryValues values{std::move(title), std::move(entry.address), std::move(entry.userName),
                           std::move(entry.password), type};
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
            const auto group =
                groups.find(std::pair<std::string_view, std::string_view>(parent, names[found]));
            if (group == groups.end()) {
                break;
            }
            parent = group->second;
        }
        if (!allocator.Take(static_cast<int>(names.size() - found) + 1, records)) {
            plan.fileFull = true;
            do {
                skip(entry, FlattenTitle(entry.title), SkipReason::FileFull);
            } while (next(entry));
            break;
        }
        for (std::size_t i = found; i < names.size(); ++i) {
            const int record = records[i - found];
            encoder.Add({record, true, parent, EntryValues{names[i], {}, {}, {}, {}}});
            std::string groupParent = std::exchange(parent, RecordKey(record));
            groups.emplace(std::make_pair(std::move(groupParent), names[i]), parent);
        }
        encoder.Add({records.back(), false, parent, std::move(values)});
        ++plan.entries;
    }
    encoder.Finish();
    plan.recordCount = allocator.RecordCount();
    // Groups are made only with an entry in them.
    if (plan.entries == 0) {
        batch = {};
    } else {
        batch.changes.front() = store.InStoredForm(1, RecordCountFields(plan.recordCount));
    }
    return plan;
}

ImportResult RunImport(ImportPlan& plan, const BatchWriter& write) {
    ImportResult result;
    if (plan.entries == 0) {
        return result;
    }
    result.complete = write(plan.batch);
    result.entries = result.complete ? plan.entries : 0;
    result.notWritten = plan.entries - result.entries;
    return result;
}

}  // namespace keyrack
