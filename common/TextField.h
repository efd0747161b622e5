// Numbers read from a whole field of text: a value in a line of a file, or the
// value of an option. Blanks around the number are allowed, anything else is not.
// The files gen writes hold millions of them, so the forms gen writes are read
// by a short path of their own.
#pragma once

#include <cstdint>
#include <string_view>

class TextField {
  public:
    static bool ParseDouble(std::string_view text, double& value) {
        return PlainDouble(text, value) || AnyDouble(text, value);
    }
    static bool ParseUnsigned(std::string_view text, uint64_t& value) {
        // Digits alone, as the files have them, are read here; the rest by AnyUnsigned.
        if (text.empty() || text.size() > 19)
            return AnyUnsigned(text, value);
        uint64_t v = 0;
        for (char c : text) {
            const unsigned d = static_cast<unsigned char>(c) - static_cast<unsigned>('0');
            if (d > 9)
                return AnyUnsigned(text, value);
            v = 10 * v + d;
        }
        value = v;
        return true;
    }
    // The text without the blanks and tabs around it.
    static std::string_view Trim(std::string_view text);

  private:
    // A number in plain notation, digits[.digits][e[sign]digits], whose value one
    // exactly rounded operation on exact operands gives, as it does for the rates
    // written with a dozen digits: false (leaving `value`) for any other text.
    static bool PlainDouble(std::string_view text, double& value);
    static bool AnyDouble(std::string_view text, double& value);
    static bool AnyUnsigned(std::string_view text, uint64_t& value);
};
