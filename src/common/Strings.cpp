#include "common/Strings.h"

#include <cctype>
#include <cmath>

namespace keyrack {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string_view TrimmedView(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

bool IsBlankOrLineBreaks(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

std::string ToUpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::string ToLowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string GetField(const std::string& text, const std::string& separator, int n) {
    if (IsBlank(text) || IsBlank(separator) || n < 1) {
        return {};
    }
    const std::string trimmed = Trim(text);
    std::size_t start = 0;
    for (int field = 1;; ++field) {
        const std::size_t end = trimmed.find(separator, start);
        if (field == n) {
            return trimmed.substr(start,
                                  end == std::string::npos ? std::string::npos : end - start);
        }
        if (end == std::string::npos) {
            return {};
        }
        start = end + separator.size();
    }
}

double Val(const std::string& text) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos) {
        return 0;
    }
    double sign = 1;
    if (text[i] == '+' || text[i] == '-') {
        sign = text[i] == '-' ? -1 : 1;
        ++i;
    }
    double value = 0;
    bool any = false;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        value = value * 10 + (text[i] - '0');
        any = true;
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
            value += (text[i] - '0') * scale;
            scale /= 10;
            any = true;
        }
    }
    return any ? sign * value : 0;
}

std::string ReplaceChar(const std::string& text, char find, const std::string& replacement) {
    const std::string trimmed = Trim(text);
    std::string result;
    result.reserve(trimmed.size());
    for (char c : trimmed) {
        if (c == find) {
            result += replacement;
        } else {
            result += c;
        }
    }
    return Trim(result);
}

long long RoundHalfEven(double value) {
    return static_cast<long long>(std::nearbyint(value));
}

}  // namespace keyrack
