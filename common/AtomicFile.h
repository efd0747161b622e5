// Writes a whole file under a temporary name in its folder (the name followed by
// ".tmp-" and the process id) and renames it into place once it is complete, so
// that no reader ever sees half a file under the final name and the results of an
// earlier run stay until the new ones are whole.
#pragma once

#include <string>

class AtomicFile {
  public:
    // A failure is a UserError naming the file; the temporary is removed then.
    static void Write(const std::string& path, const std::string& contents);
};
