#ifndef SANC_REWRITE_H
#define SANC_REWRITE_H

#include <functional>
#include <string>

// Rewrites the names in a C++ fragment. `replace` sees every identifier that is not
// a member access (after '.', '->' or '::'), nor inside a literal or a comment: given
// the fragment, the identifier's start and its end, it returns true with `out` set to
// replace the text from start to `end` (which it may move forward, to take in a
// following ".member"), or false to keep the identifier.
using Replacer =
    std::function<bool(const std::string& text, size_t start, size_t& end, std::string& out)>;

std::string Rewrite(const std::string& text, const Replacer& replace);

#endif
