#include "driver/Selection.h"

#include "common/UserError.h"

#include <algorithm>
#include <cctype>

namespace {

// A whole number of at most nine digits (no study is that large), or false.
bool Number(const std::string& text, size_t& value) {
    if (text.empty() || text.size() > 9)
        return false;
    value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        value = value * 10 + static_cast<size_t>(c - '0');
    }
    return true;
}

} // namespace

std::vector<size_t> Selection::Parse(const std::string& text, size_t count) {
    std::vector<size_t> chosen;
    if (text.empty()) {
        for (size_t e = 0; e < count; e++)
            chosen.push_back(e);
        return chosen;
    }
    const std::string study = "the study has experiments 0 to " + std::to_string(count - 1);
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(',', start);
        const std::string item = text.substr(start, end - start);
        const size_t dash = item.find('-');
        size_t first = 0, last = 0;
        const bool ok = dash == std::string::npos
                            ? Number(item, first) && (last = first, true)
                            : Number(item.substr(0, dash), first) &&
                                  Number(item.substr(dash + 1), last) && first <= last;
        if (!ok)
            throw gen::UserError("the experiment selection (-B) \"" + text +
                                 "\" is not a list of numbers and ranges such as 0,3-5");
        if (last >= count)
            throw gen::UserError("the experiment selection (-B) \"" + text +
                                 "\" names experiment " + std::to_string(last) + ", but " + study);
        for (size_t e = first; e <= last; e++)
            chosen.push_back(e);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    return chosen;
}
