#include "common/CommandLine.h"

#include "common/TextField.h"
#include "common/UserError.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

CommandLine::CommandLine(int argc, char** argv, const char* letters, const char* flags)
    : argc_(argc), argv_(argv), letters_(letters), flags_(flags) {}

bool CommandLine::Next(char& letter, const char*& value) {
    if (next_ >= argc_)
        return false;
    const char* word = argv_[next_++];
    if (word[0] != '-' || word[1] == '\0')
        throw gen::UserError(std::string("unexpected argument \"") + word +
                             "\" (options start with -; -h shows them)");
    letter = word[1];
    value = nullptr;
    if (letter == 'h' && word[2] == '\0')
        return true;
    const bool flag = std::strchr(flags_, letter) != nullptr;
    if (letter == 'h' || (std::strchr(letters_, letter) == nullptr && !flag))
        throw gen::UserError(std::string("unknown option ") + word + " (-h shows the options)");
    if (flag)
        value = word[2] != '\0' ? word + 2 : nullptr;
    else if (word[2] != '\0')
        value = word + 2;
    else if (next_ < argc_ && argv_[next_][0] != '-')
        value = argv_[next_++];
    else
        throw gen::UserError(std::string("option -") + letter + " needs a value");
    return true;
}

void CommandLine::Grid(const char* value, double& start, double& stop, size_t& points) {
    const std::string_view text(value);
    const size_t a = text.find(':');
    const size_t b = a == std::string_view::npos ? a : text.find(':', a + 1);
    uint64_t count = 0;
    const bool ok = b != std::string_view::npos &&
                    TextField::ParseDouble(text.substr(0, a), start) &&
                    TextField::ParseDouble(text.substr(a + 1, b - a - 1), stop) &&
                    TextField::ParseUnsigned(text.substr(b + 1), count);
    if (!ok || !std::isfinite(start) || !std::isfinite(stop) || start < 0.0 || !(stop > start) ||
        count < 2 || count > 100000)
        throw gen::UserError(
            std::string("option -g needs <start>:<stop>:<points> with 0 <= start < "
                        "stop and 2 to 100000 points, not \"") +
            value + "\"");
    points = static_cast<size_t>(count);
}
