// A selection of experiments as the user writes it: numbers and ranges joined by
// commas, "0,3-5", in any order; each experiment is run once however often it is
// named.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class Selection {
  public:
    // The selected experiment numbers, ascending, of a study of `count`
    // experiments; empty `text`: all of them. A malformed selection or a number
    // outside the study is a UserError.
    static std::vector<size_t> Parse(const std::string& text, size_t count);
};
