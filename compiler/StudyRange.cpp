#include "compiler/StudyRange.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool IsWhole(const std::string& s) {
    return !s.empty() && s.find_first_of(".eE") == std::string::npos;
}

// Enough for any study a state space can be generated for, small enough that a
// mistyped step is reported instead of exhausting memory.
const size_t kMaxLevels = 100000;

} // namespace

std::string StudyRange::Shortest(double v) {
    char buffer[40];
    for (int precision = 1; precision <= 17; precision++) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, v);
        if (std::strtod(buffer, nullptr) == v)
            break;
    }
    return buffer;
}

bool StudyRange::Expand(std::vector<std::string>& values, std::string& error) const {
    // Every bound, step and factor is a finite number: an infinite one would make
    // the values never end (or never start).
    for (const std::string* text : {&first, &last, &step, &factor}) {
        if (!text->empty() && !std::isfinite(std::strtod(text->c_str(), nullptr))) {
            error = "the range has a number that is not finite: " + *text;
            return false;
        }
    }
    double a = std::strtod(first.c_str(), nullptr);
    double b = std::strtod(last.c_str(), nullptr);
    if (b < a) {
        error = "empty range: " + last + " is less than " + first;
        return false;
    }
    if (!factor.empty()) {
        double f = std::strtod(factor.c_str(), nullptr);
        if (!(f > 1) || !(a > 0)) {
            error = "a range with 'times' needs a first value above 0 and a factor above 1";
            return false;
        }
        // The first value times f^k for as long as it does not pass the last value
        // by more than rounding.
        double v = a;
        for (size_t k = 0; v <= b * (1 + 1e-12); k++) {
            if (k == kMaxLevels) {
                error = "the range has more than " + std::to_string(kMaxLevels) + " values";
                return false;
            }
            values.push_back(Shortest(v));
            v = a * std::pow(f, static_cast<double>(k + 1));
        }
        return true;
    }
    double s = step.empty() ? 1.0 : std::strtod(step.c_str(), nullptr);
    if (!(s > 0)) {
        error = "the step of a range must be above 0";
        return false;
    }
    if ((b - a) / s >= static_cast<double>(kMaxLevels)) {
        error = "the range has more than " + std::to_string(kMaxLevels) + " values";
        return false;
    }
    bool whole = IsWhole(first) && IsWhole(last) && (step.empty() || IsWhole(step));
    if (whole) {
        long long bound[3] = {0, 0, 1};
        const std::string* texts[3] = {&first, &last, &step};
        for (int k = 0; k < 3; k++) {
            if (texts[k]->empty())
                continue;
            errno = 0;
            bound[k] = std::strtoll(texts[k]->c_str(), nullptr, 10);
            if (errno == ERANGE) {
                error = "the whole number " + *texts[k] + " is beyond the range of a long";
                return false;
            }
        }
        // Counted in unsigned arithmetic: a range that ends at the largest long must
        // not step past it.
        const unsigned long long from = static_cast<unsigned long long>(bound[0]);
        const unsigned long long span = static_cast<unsigned long long>(bound[1]) - from;
        const unsigned long long by = static_cast<unsigned long long>(bound[2]);
        const unsigned long long count = span / by + 1;
        if (count > kMaxLevels) {
            error = "the range has more than " + std::to_string(kMaxLevels) + " values";
            return false;
        }
        for (unsigned long long k = 0; k < count; k++)
            values.push_back(std::to_string(static_cast<long long>(from + k * by)));
        return true;
    }
    for (size_t k = 0;; k++) {
        double v = a + static_cast<double>(k) * s;
        if (v > b + std::fabs(s) * 1e-9)
            break;
        values.push_back(Shortest(v));
    }
    return true;
}
