#include "store/Csv.h"

namespace keyrack {

namespace {

bool NeedsQuotes(const std::string& field) {
    return field.find_first_of(",\"\r\n") != std::string::npos;
}

}  // namespace

std::string CsvLine(const CsvRow& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        const std::string& field = fields[i];
        if (!NeedsQuotes(field)) {
            line += field;
            continue;
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
    return line + "\r\n";
}

namespace {

// Reads rows into read from start on; returns where reading is to go on: the end of text, or
// the line after a quote that never closes.
std::size_t ReadRowsFrom(const std::string& text, std::size_t start, CsvRows& read) {
    CsvRow row;
    std::string field;
    std::size_t quoteAt = std::string::npos;  // the opening quote of the field being read
    bool lineHasText = false;
    const auto endField = [&] {
        row.push_back(std::move(field));
        field.clear();
    };
    const auto endRow = [&] {
        endField();
        if (lineHasText) {
            read.rows.push_back(std::move(row));
            read.broken.push_back(false);
        }
        row.clear();
        lineHasText = false;
    };
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        if (quoteAt != std::string::npos) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (i + 1 == text.size() || text.find_first_of(",\r\n", i + 1) == i + 1) {
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
            endField();
            lineHasText = true;
        } else if (c == '\n') {
            endRow();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            // the LF ends the row
        } else {
            field += c;
            lineHasText = true;
        }
    }
    if (quoteAt != std::string::npos) {
        // Never closed, or closed by what was meant to open another field.
        read.rows.push_back(std::move(row));
        read.broken.push_back(true);
        const std::size_t lineEnd = text.find('\n', quoteAt);
        return lineEnd == std::string::npos ? text.size() : lineEnd + 1;
    }
    if (lineHasText || !field.empty()) {
        endRow();
    }
    return text.size();
}

}  // namespace

CsvRows ReadCsv(const std::string& text) {
    CsvRows read;
    std::size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (at < text.size()) {
        at = ReadRowsFrom(text, at, read);
    }
    return read;
}

}  // namespace keyrack
