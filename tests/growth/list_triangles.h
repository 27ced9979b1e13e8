// The triangles a pattern list holds, in list order, as plain copies.
#pragma once

#include <cstring>
#include <vector>

#include "growth/pattern_list.h"

inline std::vector<PatternTriangle> Triangles(const QFTrList& list) {
  std::vector<PatternTriangle> out;
  for (const QFTrNode* node = list.first->next; node != nullptr; node = node->next)
    out.push_back(*node->payload);
  return out;
}

// Whether part holds the first triangles of whole, bit for bit.
inline bool StartsWith(const std::vector<PatternTriangle>& whole,
                       const std::vector<PatternTriangle>& part) {
  return part.size() <= whole.size() &&
         (part.empty() ||
          std::memcmp(part.data(), whole.data(), part.size() * sizeof(part[0])) == 0);
}
