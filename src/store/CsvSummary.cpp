#include "store/CsvSummary.h"

#include <algorithm>

#include "tree/DetailBoxes.h"
#include "tree/TreePlan.h"

namespace keyrack {

namespace {

constexpr int kMessageCannotStore = 53;
constexpr int kMessageFileFull = 55;
constexpr int kMessageTitleNeeded = 58;
constexpr int kMessageSummary = 70;
constexpr int kMessageDroppedColumns = 71;
constexpr int kMessageNotWritten = 72;
constexpr int kMessageUnreadableRow = 73;
constexpr int kMessageTooDeep = 74;

}  // namespace

std::string ImportSummary(const CsvRead& read, const ImportPlan& plan, const ImportResult& result,
                          const MessageText& message) {
    const auto filled = [&](int number, const std::string& value) {
        std::string text = message(number);
        const std::size_t at = text.find("%1");
        return at == std::string::npos ? text : text.replace(at, 2, value);
    };
    std::string summary = filled(kMessageSummary, std::to_string(result.entries));
    const std::size_t skippedAt = summary.find("%2");
    if (skippedAt != std::string::npos) {
        summary.replace(skippedAt, 2, std::to_string(read.skipped + plan.skipped));
    }
    if (!result.complete) {
        summary += "\n" + filled(kMessageNotWritten, std::to_string(result.notWritten));
    }
    if (!read.droppedColumns.empty()) {
        std::string names;
        for (const std::string& name : read.droppedColumns) {
            names += (names.empty() ? "" : ", ") + name;
        }
        summary += "\n" + filled(kMessageDroppedColumns, names);
    }
    std::vector<SkippedRow> skipped = read.skippedRows;
    skipped.insert(skipped.end(), plan.skippedRows.begin(), plan.skippedRows.end());
    std::stable_sort(skipped.begin(), skipped.end(),
                     [](const SkippedRow& a, const SkippedRow& b) { return a.row < b.row; });
    const auto reason = [&](SkipReason why) {
        switch (why) {
            case SkipReason::Unreadable:
                return message(kMessageUnreadableRow);
            case SkipReason::NoTitle:
                return message(kMessageTitleNeeded);
            case SkipReason::CannotStore:
                return message(kMessageCannotStore);
            case SkipReason::TooDeep:
                return filled(kMessageTooDeep, std::to_string(MaxGroupDepth));
            case SkipReason::FileFull:
                break;
        }
        return message(kMessageFileFull);
    };
    for (std::size_t i = 0; i < skipped.size() && i < kNamedSkippedRows; ++i) {
        const std::string title = FlattenTitle(skipped[i].title);
        summary += "\n" + std::to_string(skipped[i].row) +
                   (title.empty() ? "" : " \xE2\x80\x9C" + title + "\xE2\x80\x9D") + ": " +
                   reason(skipped[i].reason);
    }
    if (static_cast<std::size_t>(read.skipped + plan.skipped) > kNamedSkippedRows) {
        summary += "\n\xE2\x80\xA6";
    }
    return summary;
}

}  // namespace keyrack
