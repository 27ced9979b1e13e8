// The triangles a pattern list holds, in list order, as plain copies.
#pragma once

#include <vector>

#include "growth/pattern_list.h"

inline std::vector<PatternTriangle> Triangles(const QFTrList& list) {
  std::vector<PatternTriangle> out;
  for (const QFTrNode* node = list.first->next; node != nullptr; node = node->next)
    out.push_back(*node->payload);
  return out;
}
