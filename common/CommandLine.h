// The command line of the programs that come with gen (solve, the simulators), read
// the way gen reads its own: a value is glued to its letter (-Pout/) or is the next
// word when that does not start with '-' (-P out/); -h asks for the usage text.
#pragma once

#include <cstddef>

class CommandLine {
  public:
    // `letters`: the options that take a value; `flags`: those that take none, or
    // one glued to the letter only (-z, -z1000).
    CommandLine(int argc, char** argv, const char* letters, const char* flags = "");

    // The next option: false at the end of the line. -h gives 'h' and no value. A
    // word that is no option, an unknown letter or a missing value is a UserError.
    bool Next(char& letter, const char*& value);

    // <start>:<stop>:<points> with 0 <= start < stop and 2 to 100000 points, or a
    // UserError.
    static void Grid(const char* value, double& start, double& stop, size_t& points);

  private:
    int argc_;
    char** argv_;
    const char* letters_;
    const char* flags_;
    int next_ = 1;
};
