#include "qf_host/closest_names.h"

#include <algorithm>
#include <cctype>

namespace qfhost {
namespace {

size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::vector<std::string> ClosestNames(const std::string& wanted,
                                      const std::vector<std::string>& names, size_t count) {
  struct Near {
    size_t distance;
    const std::string* name;
  };
  std::vector<Near> near;
  const std::string lower = Lower(wanted);
  for (const std::string& name : names) near.push_back({EditDistance(Lower(name), lower), &name});
  std::stable_sort(near.begin(), near.end(),
                   [](const Near& a, const Near& b) { return a.distance < b.distance; });
  std::vector<std::string> out;
  for (size_t i = 0; i < near.size() && i < count; ++i) out.push_back(*near[i].name);
  return out;
}

}  // namespace qfhost
