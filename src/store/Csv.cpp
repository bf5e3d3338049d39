#include "store/Csv.h"

#include <algorithm>
#include <utility>

namespace keyrack {

namespace {

// A loop, not find_first_of, which looks each character up in the set with a call of its own.
bool NeedsQuotes(std::string_view field) {
    return std::any_of(field.begin(), field.end(),
                       [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
}

}  // namespace

void AppendCsvField(std::string& line, std::string_view field) {
    if (!NeedsQuotes(field)) {
        line += field;
        return;
    }
    line += '"';
    for (char c : field) {
        line += c;
        if (c == '"') {
            line += '"';
        }
    }
    line += '"';
}

std::string CsvLine(const CsvRow& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        AppendCsvField(line, fields[i]);
    }
    return line + kCsvLineEnd;
}

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

enum class Step { Row, Blank, More, End };

bool EndsQuotedField(char c) {
    return c == ',' || c == '\r' || c == '\n';
}

// Where a run of characters of an unquoted field that need no look of their own ends.
bool EndsPlainRun(char c) {
    return c == ',' || c == '\r' || c == '\n' || c == '"';
}

// Reads the row that starts at `at` in text, after which more text follows unless atEnd. When
// the row may go on past the text held, it is left unread (More) and read again from its start
// once more text came; otherwise `at` moves to where the next row starts.
Step ReadRow(const std::string& text, std::size_t& at, bool atEnd, CsvRow& row, bool& broken) {
    row.clear();
    broken = false;
    std::string field;
    std::size_t quoteAt = std::string::npos;  // the opening quote of the field being read
    bool lineHasText = false;
    const std::size_t size = text.size();
    std::size_t i = at;
    for (; i < size; ++i) {
        const char c = text[i];
        if (quoteAt != std::string::npos) {
            if (c != '"') {
                // Up to the next quote at once: a character at a time cost most of the reading.
                const std::size_t end = std::min(text.find('"', i), size);
                field.append(text, i, end - i);
                i = end - 1;
                continue;
            }
            if (i + 1 == size && !atEnd) {
                return Step::More;
            }
            if (i + 1 < size && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (i + 1 == size || EndsQuotedField(text[i + 1])) {
                quoteAt = std::string::npos;
            } else {
                break;  // text right after a closing quote: the quote was a stray one
            }
            continue;
        }
        if (c == '"' && field.empty()) {
            quoteAt = i;
            lineHasText = true;
        } else if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
            lineHasText = true;
        } else if (c == '\n') {
            row.push_back(std::move(field));
            at = i + 1;
            return lineHasText ? Step::Row : Step::Blank;
        } else if (c == '\r' && i + 1 == size && !atEnd) {
            return Step::More;
        } else if (c == '\r' && i + 1 < size && text[i + 1] == '\n') {
            // the LF ends the row
        } else {
            std::size_t end = i + 1;
            while (end < size && !EndsPlainRun(text[end])) {
                ++end;
            }
            field.append(text, i, end - i);
            i = end - 1;
            lineHasText = true;
        }
    }
    if (quoteAt != std::string::npos) {
        // Never closed, or closed by what was meant to open another field: the row keeps the
        // fields before the quote and reading goes on at the line after it.
        if (i == size && !atEnd) {
            return Step::More;
        }
        const std::size_t lineEnd = text.find('\n', quoteAt);
        if (lineEnd == std::string::npos && !atEnd) {
            return Step::More;
        }
        at = lineEnd == std::string::npos ? size : lineEnd + 1;
        broken = true;
        return Step::Row;
    }
    if (!atEnd) {
        return Step::More;
    }
    at = size;
    if (!lineHasText) {
        return Step::End;
    }
    row.push_back(std::move(field));
    return Step::Row;
}

}  // namespace

CsvReader::CsvReader(Source source, std::size_t readSize)
    : source_(std::move(source)), readSize_(std::max<std::size_t>(readSize, 1)) {}

bool CsvReader::Next(CsvRow& row, bool& broken) {
    if (!started_) {
        started_ = true;
        while (text_.size() < 3 && ReadMore()) {
        }
        if (text_.compare(0, 3, kByteOrderMark) == 0) {
            at_ = 3;
        }
    }
    for (;;) {
        switch (ReadRow(text_, at_, ended_, row, broken)) {
            case Step::Row:
                return true;
            case Step::End:
                return false;
            case Step::More:
                ReadMore();
                break;
            case Step::Blank:
                break;
        }
    }
}

bool CsvReader::ReadMore() {
    text_.erase(0, at_);
    at_ = 0;
    // A row longer than a read is read again from its start after each: reads as long as the
    // text held keep that linear.
    const std::size_t held = text_.size();
    const std::size_t room = std::max(readSize_, held);
    text_.resize(held + room);
    const std::size_t got = source_(text_.data() + held, room);
    text_.resize(held + got);
    ended_ = got == 0;
    return !ended_;
}

}  // namespace keyrack
