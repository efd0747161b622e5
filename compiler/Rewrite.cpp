#include "compiler/Rewrite.h"

#include <cctype>

namespace {

bool IdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Whether the identifier at `start` is reached through '.', '->' or '::'.
bool IsMemberAccess(const std::string& text, size_t start) {
    size_t k = start;
    while (k > 0 && (text[k - 1] == ' ' || text[k - 1] == '\t'))
        k--;
    if (k >= 1 && text[k - 1] == '.')
        return k < 2 || text[k - 2] != '.';
    if (k >= 2 && text[k - 2] == '-' && text[k - 1] == '>')
        return true;
    if (k >= 2 && text[k - 2] == ':' && text[k - 1] == ':')
        return true;
    return false;
}

} // namespace

std::string Rewrite(const std::string& text, const Replacer& replace) {
    std::string result;
    result.reserve(text.size() + 32);
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '/' && i + 1 < text.size() && (text[i + 1] == '/' || text[i + 1] == '*')) {
            size_t end = text[i + 1] == '/' ? text.find('\n', i) : text.find("*/", i + 2);
            end = end == std::string::npos ? text.size() : end + (text[i + 1] == '/' ? 0 : 2);
            result.append(text, i, end - i);
            i = end;
        } else if (c == '"' || c == '\'') {
            size_t end = i + 1;
            while (end < text.size() && text[end] != c) {
                if (text[end] == '\\')
                    end++;
                end++;
            }
            end = end < text.size() ? end + 1 : text.size();
            result.append(text, i, end - i);
            i = end;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            // a number, suffixes and exponents included (1e5f, 0x1F, 2.5L)
            size_t end = i;
            while (end < text.size() && (IdentifierChar(text[end]) || text[end] == '.' ||
                                         ((text[end] == '+' || text[end] == '-') &&
                                          (text[end - 1] == 'e' || text[end - 1] == 'E'))))
                end++;
            result.append(text, i, end - i);
            i = end;
        } else if (IdentifierChar(c)) {
            size_t end = i;
            while (end < text.size() && IdentifierChar(text[end]))
                end++;
            std::string out;
            size_t consumed = end;
            if (!IsMemberAccess(text, i) && replace(text, i, consumed, out)) {
                result += out;
                i = consumed;
            } else {
                result.append(text, i, end - i);
                i = end;
            }
        } else {
            result += c;
            i++;
        }
    }
    return result;
}
