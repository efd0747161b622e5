#ifndef SANC_STUDYRANGE_H
#define SANC_STUDYRANGE_H

#include <string>
#include <vector>

// A range of study values, "first .. last" with an optional "step s" (added) or
// "times f" (multiplied). Whole-number ranges stay whole numbers; the others are
// computed in double, each value from the first (first + k * step, first * f^k) so
// that rounding does not accumulate, and written back in the shortest form that
// reads as the same double.
class StudyRange {
  public:
    std::string first;
    std::string last;
    std::string step;   // empty: 1, unless factor is given
    std::string factor; // empty: additive

    // The values, or false with the reason in `error`.
    bool Expand(std::vector<std::string>& values, std::string& error) const;

    // The shortest text that reads back as exactly `v`.
    static std::string Shortest(double v);
};

#endif
