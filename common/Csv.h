// Comma-separated values as RFC 4180 has them: a field with a comma, a quote or an
// end of line is quoted, its quotes doubled. Every table the programs write goes
// through Field(); the driver reads them back with Split().
#pragma once

#include <string>
#include <vector>

class Csv {
  public:
    static std::string Field(const std::string& text);
    // The fields of one record; a record is one line, as the programs write them.
    static std::vector<std::string> Split(const std::string& line);
};
