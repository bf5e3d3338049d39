#include "store/ConflictCopyMerge.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "common/SharedRuns.h"
#include "common/Strings.h"
#include "store/DiskCheck.h"
#include "store/EntryRecord.h"
#include "store/ProtectedFile.h"
#include "store/ProtectedRecord.h"
#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"

namespace keyrack {

namespace {

ConflictCopyPlan Refused(ConflictCopyPlan::Status status) {
    ConflictCopyPlan plan;
    plan.status = status;
    return plan;
}

constexpr int kHeaderRecord = 1;
constexpr int kDataKeyField = 5;
constexpr int kCountField = 6;
constexpr int kEntryFields = 7;
constexpr int kPasswordField = 4;
constexpr int kNameField = 8;
constexpr int kOwnKeyField = 9;
constexpr int kParentField = 10;
constexpr int kHighestKey = 199;
// Joins the names of a path and the values of an entry; no stored value holds it.
constexpr char kSeparator = '\x1f';
// The path of the default group, whatever its shown name.
const std::string kDefaultPath(1, '\x1e');
constexpr std::size_t kTitleFilterBits = std::size_t{1} << 16;

std::string_view TrimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The records of a file as they lie in memory: a record list's, or those of a read file, which
// are looked at where they are rather than copied into a list first. Numbered from 1, as in a
// record list.
class RecordBytes {
  public:
    explicit RecordBytes(const RecordList& records)
        : list_(&records), end_(static_cast<int>(records.size())) {}
    explicit RecordBytes(const std::string& content)
        : content_(content.data()), end_(static_cast<int>(content.size() / RecordLength) + 1) {}

    // One past the last record's number.
    int End() const { return end_; }
    std::string_view Record(int record) const {
        return {list_ != nullptr ? (*list_)[record].bytes.data()
                                 : content_ + static_cast<std::size_t>(record - 1) * RecordLength,
                RecordLength};
    }
    std::string_view Field(int record, int field) const {
        return Record(record).substr(FieldOffset(field), FieldWidth(field));
    }

  private:
    const RecordList* list_ = nullptr;
    const char* content_ = nullptr;
    int end_ = 0;
};

// The tree of one file as paths of names.
class Tree {
  public:
    // Empty until its records are read. A protected file's values are read as they stand, with
    // no key.
    Tree(const RecordBytes& records, FileKind fileKind, int key, const Tree* like = nullptr)
        : records_(records),
          like_(like),
          fileKind_(fileKind),
          key_(key),
          kinds_(static_cast<std::size_t>(std::max(records.End(), 0)), Kind::Other),
          titles_(kinds_.size()),
          titleHashes_(kinds_.size()),
          asLike_(kinds_.size()) {}

    // Both trees record by record, so that each record of the first is fetched from memory
    // once for both: to read it and to compare it with the second's. Reading is nearly all of
    // the planning, so the records are shared in runs among the processor's cores.
    static void ReadSideBySide(Tree& first, Tree& madeLikeFirst) {
        const int end = std::max(first.records_.End(), madeLikeFirst.records_.End());
        const std::size_t records = static_cast<std::size_t>(std::max(end - FirstTreeRecord, 0));
        const std::size_t runs = (records + kRecordsPerRun - 1) / kRecordsPerRun;
        std::vector<GroupList> firstGroups(runs);
        std::vector<GroupList> secondGroups(runs);
        ForEachRunShared(records, kRecordsPerRun, kRecordsPerThread, kMostThreads,
                         [&](std::size_t run, std::size_t from, std::size_t to) {
                             for (std::size_t at = from; at < to; ++at) {
                                 const int record = FirstTreeRecord + static_cast<int>(at);
                                 first.Read(record, firstGroups[run], nullptr);
                                 madeLikeFirst.Read(record, secondGroups[run], &firstGroups[run]);
                             }
                         });
        first.TakeGroups(firstGroups);
        madeLikeFirst.TakeGroups(secondGroups);
    }

    std::string Value(int record, int field) const {
        if (fileKind_ == FileKind::Protected) {
            // UTF-8 as it stands, up to the NULs that pad it.
            const std::string_view stored = records_.Field(record, field);
            return std::string(stored.substr(0, stored.find_last_not_of('\0') + 1));
        }
        // A field never written holds NULs, which read as nothing, as the store reads them.
        // Most fields hold none and are decoded where they lie.
        std::string_view stored = records_.Field(record, field);
        std::string withoutNuls;
        if (stored.find('\0') != std::string_view::npos) {
            withoutNuls.assign(stored);
            withoutNuls.erase(std::remove(withoutNuls.begin(), withoutNuls.end(), '\0'),
                              withoutNuls.end());
            stored = withoutNuls;
        }
        return DecodeValue(TrimSpaces(stored), key_);
    }
    std::string_view Stored(int record, int field) const { return records_.Field(record, field); }
    // The trimmed title of an entry.
    std::string_view Title(int record) const { return TrimSpaces(TitleAsRead(record)); }
    // Its hash, made while the records are read on all cores rather than when it is looked up.
    std::size_t TitleHash(int record) const { return titleHashes_[record]; }
    // Whether the record holds the same bytes as in the tree this one was made like.
    bool AsLike(int record) const { return asLike_[record]; }
    bool IsGroup(int record) const { return kinds_[record] == Kind::Group; }
    bool IsEntry(int record) const { return kinds_[record] == Kind::Entry; }
    // A group or an entry: a record that holds one is never free.
    bool HoldsNode(int record) const { return kinds_[record] != Kind::Other; }
    // Record numbers and keys of the groups, in record order.
    const std::vector<std::pair<int, std::string>>& Groups() const { return groupList_; }
    std::string KeyOf(int record, int field) const {
        return KeyFromStored(Trim(Value(record, field)));
    }
    // The same bytes under the same key: the same group or entry in the same place.
    bool SameRecord(const Tree& other, int record) const {
        return fileKind_ == other.fileKind_ && key_ == other.key_ && record < records_.End() &&
               record < other.records_.End() &&
               records_.Record(record) == other.records_.Record(record);
    }

    // The path of names of the group with this key; a missing parent ends the path, a missing
    // group is the default group.
    const std::string& PathOf(const std::string& key) const {
        const auto known = paths_.find(key);
        if (known != paths_.end()) {
            return known->second;
        }
        std::string path;
        std::set<std::string> seen;
        for (std::string at = key; !at.empty() && seen.insert(at).second;) {
            const auto group = groups_.find(at);
            if (at == DefaultGroupKey || group == groups_.end()) {
                path = path.empty() && at == key ? kDefaultPath : kDefaultPath + path;
                break;
            }
            path = kSeparator + Trim(Value(group->second, kNameField)) + path;
            at = KeyOf(group->second, kParentField);
        }
        return paths_.emplace(key, path).first->second;
    }
    std::string ParentKey(int record) const {
        const std::string parent = KeyOf(record, kParentField);
        return parent.empty() && !IsGroup(record) ? DefaultGroupKey : parent;
    }
    std::string ParentPath(int record) const {
        const std::string parent = ParentKey(record);
        return parent.empty() ? std::string() : PathOf(parent);
    }
    EntryValues ValuesOf(int record) const {
        return {TitleAsRead(record),
                Value(record, 2),
                Value(record, 3),
                Value(record, kPasswordField),
                {Value(record, 5), Value(record, 6), Value(record, 7)}};
    }
    static std::string EntryIdentity(const std::string& parentPath, const EntryValues& values) {
        std::string identity = parentPath;
        // Stored as the editor saves them: all but the password trimmed.
        for (const std::string* value :
             {&values.title, &values.address, &values.userName, &values.password, &values.type.type,
              &values.type.caseSet, &values.type.length}) {
            identity += kSeparator;
            identity += value == &values.password ? std::string_view(*value) : TrimSpaces(*value);
        }
        return identity;
    }
    // Whether every group has the same path of names in both trees: then an entry's group
    // stands where it stood whatever group it names.
    bool SamePaths(const Tree& other) const {
        // The same group records holding the same bytes make the same paths.
        if (groups_ == other.groups_ &&
            std::all_of(groups_.begin(), groups_.end(), [&](const auto& group) {
                return AsLike(group.second) || other.AsLike(group.second);
            })) {
            return true;
        }
        const auto samePath = [&](const auto& group) {
            return PathOf(group.first) == other.PathOf(group.first);
        };
        return std::all_of(groups_.begin(), groups_.end(), samePath) &&
               std::all_of(other.groups_.begin(), other.groups_.end(), samePath);
    }

  private:
    enum class Kind : unsigned char { Other, Group, Entry };

    // Record numbers and keys of groups, in record order.
    using GroupList = std::vector<std::pair<int, std::string>>;

    // Below this many records for each, another thread costs more than it saves.
    static constexpr std::size_t kRecordsPerThread = 4096;
    // The records a thread reads before it takes the next run.
    static constexpr std::size_t kRecordsPerRun = 1024;
    static constexpr int kMostThreads = 8;

    // A record with the same bytes under the same key as in like is what it is there, so a
    // copy that mostly matches the data file is decoded only where it differs. Like reads the
    // record first, adding its groups to likeGroups. Touches only the record's own elements,
    // so that runs of records can be read at once.
    void Read(int record, GroupList& groups, const GroupList* likeGroups) {
        if (record >= records_.End()) {
            return;
        }
        if (like_ != nullptr && like_->SameRecord(*this, record)) {
            asLike_[record] = true;
            kinds_[record] = like_->kinds_[record];
            titleHashes_[record] = like_->titleHashes_[record];
            if (IsGroup(record)) {
                groups.emplace_back(record, GroupKey(*likeGroups, record));
            }
        } else {
            Classify(record, groups);
        }
    }

    void Classify(int record, GroupList& groups) {
        const std::string& title = titles_[record] = Value(record, 1);
        if (!Title(record).empty()) {
            kinds_[record] = Kind::Entry;
            titleHashes_[record] = std::hash<std::string_view>{}(Title(record));
        } else if (title.empty() && !Trim(Value(record, kNameField)).empty()) {
            std::string key = KeyOf(record, kOwnKeyField);
            if (!key.empty()) {
                kinds_[record] = Kind::Group;
                groups.emplace_back(record, std::move(key));
            }
        }
    }

    // The groups found by each run of records, the runs in record order.
    void TakeGroups(std::vector<GroupList>& runs) {
        for (GroupList& run : runs) {
            for (auto& [record, key] : run) {
                groups_[key] = record;
                groupList_.emplace_back(record, std::move(key));
            }
        }
    }
    static const std::string& GroupKey(const GroupList& groups, int record) {
        return std::lower_bound(groups.begin(), groups.end(), record,
                                [](const auto& group, int at) { return group.first < at; })
            ->second;
    }

    const std::string& TitleAsRead(int record) const {
        return asLike_[record] ? like_->titles_[record] : titles_[record];
    }

    const RecordBytes& records_;
    const Tree* const like_;
    const FileKind fileKind_;
    const int key_;
    std::vector<Kind> kinds_;
    // As read, before trimming; a record that matches the other tree's has its title there.
    std::vector<std::string> titles_;
    std::vector<std::size_t> titleHashes_;
    // Bytes rather than bits: runs of records are read at once.
    std::vector<unsigned char> asLike_;
    std::unordered_map<std::string, int> groups_;
    GroupList groupList_;
    mutable std::unordered_map<std::string, std::string> paths_;
};

int StoredKey(const RecordBytes& records) {
    if (records.End() <= kHeaderRecord) {
        return 0;
    }
    const std::string text =
        DecodeValue(TrimSpaces(records.Field(kHeaderRecord, kDataKeyField)), LoginKey);
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    const int key = std::stoi(text);
    return key <= kHighestKey ? key : 0;
}

bool IsFree(const DataRecord& record) {
    return std::all_of(record.bytes.begin(), record.bytes.end(),
                       [](char c) { return c == ' ' || c == '\0'; });
}

// An entry's record from a copy under the data file's own key. A value's stored bytes read back
// as the value itself, so they come over as they stand instead of being encoded again with fresh
// fill: the entry's values, and its group's key where the copy names the same one. Only what
// would be stored otherwise (a value with surrounding spaces, a field with NULs) is encoded.
FieldValues SameKeyEntryFields(const Tree& copy, int from, const EntryValues& values,
                               const std::string& group, int record, int dataKey,
                               platform::RandomSource& random) {
    std::array<bool, FieldCount> kept{};
    const auto keep = [&](int field, const std::string& read, const std::string& stored) {
        kept[field - 1] = !IsBlank(stored) && read == stored &&
                          copy.Stored(from, field).find('\0') == std::string_view::npos;
        return kept[field - 1];
    };
    EntryValues encoded = values;
    int field = 1;
    for (std::string* value :
         {&encoded.title, &encoded.address, &encoded.userName, &encoded.password,
          &encoded.type.type, &encoded.type.caseSet, &encoded.type.length}) {
        if (keep(field, *value, field == kPasswordField ? *value : Trim(*value))) {
            value->clear();
        }
        ++field;
    }
    const std::string groupKey = Trim(group);
    const bool keptName = keep(kNameField, copy.Value(from, kNameField), groupKey);
    const bool keptParent =
        keep(kParentField, copy.Value(from, kParentField), StoredKeyForm(groupKey));
    FieldValues fields = EntryRecordFields(encoded, keptName ? std::string() : group, record,
                                           keptParent ? std::string() : group, dataKey, random);
    for (field = 1; field <= FieldCount; ++field) {
        if (kept[field - 1]) {
            fields[field - 1] = std::string(copy.Stored(from, field));
        }
    }
    return fields;
}

FieldValues Header(const RecordList& records, int count) {
    FieldValues fields;
    for (int field = 1; field <= FieldCount; ++field) {
        fields[field - 1] = records[kHeaderRecord].Field(field);
    }
    fields[kCountField - 1] = std::to_string(count);
    return fields;
}

ConflictCopyPlan PlanMerge(const RecordList& dataFile, FileKind kind, int dataKey,
                           const std::vector<int>& unreadable, const RecordBytes& copy, int copyKey,
                           platform::RandomSource& random) {
    ConflictCopyPlan plan;
    const RecordBytes dataFileBytes(dataFile);
    Tree ours(dataFileBytes, kind, dataKey);
    Tree theirs(copy, kind, copyKey, &ours);
    Tree::ReadSideBySide(ours, theirs);

    std::unordered_map<std::string, std::string> groupKeys = {{kDefaultPath, DefaultGroupKey}};
    groupKeys.reserve(ours.Groups().size() + theirs.Groups().size() + 1);
    for (const auto& [record, key] : ours.Groups()) {
        groupKeys.emplace(ours.PathOf(key), key);
    }
    const bool samePaths = ours.SamePaths(theirs);
    // Where every path is the same in both trees, the data file's are already made.
    const Tree& copyPaths = samePaths ? ours : theirs;
    const auto copyParentPath = [&](int record) {
        const std::string parent = theirs.ParentKey(record);
        return parent.empty() ? std::string() : copyPaths.PathOf(parent);
    };
    const auto standsUnchanged = [&](int record) {
        if (!theirs.AsLike(record) || !theirs.IsEntry(record)) {
            return false;
        }
        if (samePaths) {
            return true;
        }
        const std::string parent = ours.ParentKey(record);
        return ours.PathOf(parent) == theirs.PathOf(parent);
    };
    // Only the copy's entries that do not stand unchanged in their place can be new, and only
    // the data file's entries with their titles can match them: the identities of those are
    // made, and with them those of the entries taken from the copy.
    std::vector<int> changed;
    std::unordered_set<std::string_view> changedTitles;
    // Most of the data file's titles are none of those: a bit for each hash's low bits tells so
    // without a lookup.
    std::vector<bool> maybeChanged(kTitleFilterBits);
    for (int record = FirstTreeRecord; record < copy.End(); ++record) {
        if (theirs.IsEntry(record) && !standsUnchanged(record)) {
            changed.push_back(record);
            changedTitles.insert(theirs.Title(record));
            maybeChanged[theirs.TitleHash(record) % kTitleFilterBits] = true;
        }
    }
    std::unordered_set<std::string> entries;
    for (int record = FirstTreeRecord; record < dataFileBytes.End(); ++record) {
        if (ours.IsEntry(record) && maybeChanged[ours.TitleHash(record) % kTitleFilterBits] &&
            changedTitles.count(ours.Title(record)) > 0) {
            entries.insert(Tree::EntryIdentity(ours.ParentPath(record), ours.ValuesOf(record)));
        }
    }

    int next = FirstTreeRecord;
    const auto allocate = [&]() {
        // A slot that failed its check reads as free but is never written. The data file's
        // groups and entries are known from its tree without reading their records again.
        while (next < static_cast<int>(dataFile.size()) &&
               (ours.HoldsNode(next) || !IsFree(dataFile[next]) ||
                std::binary_search(unreadable.begin(), unreadable.end(), next))) {
            ++next;
        }
        return next++;
    };
    // A group's path needs its parent's: groups are placed shortest path first.
    struct CopyGroup {
        long depth;
        std::string path;
        int record;
    };
    std::vector<CopyGroup> copyGroups;
    for (const auto& [record, key] : theirs.Groups()) {
        std::string path = copyPaths.PathOf(key);
        const long depth = std::count(path.begin(), path.end(), kSeparator);
        copyGroups.push_back({depth, std::move(path), record});
    }
    std::stable_sort(copyGroups.begin(), copyGroups.end(),
                     [](const auto& a, const auto& b) { return a.depth < b.depth; });
    // The header, the groups and the entries that may come in.
    plan.writes.reserve(1 + copyGroups.size() + changed.size());
    for (const CopyGroup& group : copyGroups) {
        if (groupKeys.count(group.path) > 0) {
            continue;
        }
        const int at = allocate();
        const std::string parentPath = copyParentPath(group.record);
        const auto parent = groupKeys.find(parentPath);
        const std::string name = Trim(theirs.Value(group.record, kNameField));
        const std::string parentKey = parent == groupKeys.end() ? std::string() : parent->second;
        plan.writes.push_back({at, kind == FileKind::Protected
                                       ? ProtectedGroupFields(name, at, parentKey)
                                       : GroupRecordFields(name, at, parentKey, dataKey, random)});
        groupKeys[group.path] = RecordKey(at);
        ++plan.groupsAdded;
    }
    for (int record : changed) {
        const EntryValues values = theirs.ValuesOf(record);
        const std::string parentPath = copyParentPath(record);
        if (!entries.insert(Tree::EntryIdentity(parentPath, values)).second) {
            continue;
        }
        const std::string& group = groupKeys.at(parentPath);
        const int at = allocate();
        plan.writes.push_back(
            {at, kind == FileKind::Protected ? ProtectedEntryFields(values, group, at, group)
                 : dataKey == copyKey
                     ? SameKeyEntryFields(theirs, record, values, group, at, dataKey, random)
                     : EntryRecordFields(values, group, at, group, dataKey, random)});
        ++plan.entriesAdded;
    }
    if (!plan.writes.empty() && plan.writes.back().record > MaxRecordNumber) {
        plan = {};
        plan.status = ConflictCopyPlan::Status::Full;
        return plan;
    }
    if (!plan.writes.empty()) {
        const int stored = std::atoi(Trim(dataFile[kHeaderRecord].Field(kCountField)).c_str());
        const int needed = plan.writes.back().record - FirstTreeRecord + 1;
        if (needed > stored) {
            plan.writes.insert(plan.writes.begin(), {kHeaderRecord, Header(dataFile, needed)});
        }
    }
    return plan;
}

}  // namespace

ConflictCopyPlan PlanConflictCopyMerge(const RecordList& dataFile, int dataKey,
                                       const std::string& copyContent,
                                       platform::RandomSource& random) {
    const RecordBytes copy(copyContent);
    const int copyKey = StoredKey(copy);
    if (copyContent.size() % RecordLength != 0 || copyKey == 0) {
        return Refused(ConflictCopyPlan::Status::NotADataFile);
    }
    return PlanMerge(dataFile, FileKind::Plain, dataKey, {}, copy, copyKey, random);
}

ConflictCopyPlan PlanConflictCopyMerge(const RecordStore& store, int dataKey,
                                       const std::string& copyContent,
                                       platform::RandomSource& random) {
    const bool protectedCopy = IsProtectedFile(copyContent);
    if (store.Kind() == FileKind::Plain) {
        return protectedCopy
                   ? Refused(ConflictCopyPlan::Status::OtherProtectedFile)
                   : PlanConflictCopyMerge(store.DataRecords, dataKey, copyContent, random);
    }
    RecordList copy;
    if (protectedCopy) {
        std::optional<RecordList> opened = store.OpenOwnCopy(copyContent);
        if (!opened) {
            return Refused(ConflictCopyPlan::Status::OtherProtectedFile);
        }
        copy = std::move(*opened);
    } else {
        // A copy written before the file was protected elsewhere: its values in today's form.
        const RecordList plain = RecordsOf(copyContent);
        const int copyKey = StoredKey(RecordBytes(plain));
        if (copyContent.size() % RecordLength != 0 || copyKey == 0) {
            return Refused(ConflictCopyPlan::Status::NotADataFile);
        }
        copy = ProtectedFormOfPlainRecords(plain, copyKey);
    }
    std::vector<int> unreadable = store.UnreadableRecords();
    std::sort(unreadable.begin(), unreadable.end());
    ConflictCopyPlan plan = PlanMerge(store.DataRecords, FileKind::Protected, 0, unreadable,
                                      RecordBytes(copy), 0, random);
    WipeRecords(copy);
    return plan;
}

}  // namespace keyrack
