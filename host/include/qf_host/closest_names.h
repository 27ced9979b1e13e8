// Suggestions for a mistyped name: the known names nearest to it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qfhost {

// Lower case, letter by letter.
std::string Lower(std::string s);

// At most `count` of `names`, nearest to `wanted` first by edit distance
// ignoring case (ties in the order given).
std::vector<std::string> ClosestNames(const std::string& wanted,
                                      const std::vector<std::string>& names, size_t count);

}  // namespace qfhost
