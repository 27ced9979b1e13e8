#include "text_numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace qfhost {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The characters of `text` from `at` that are digits.
size_t Digits(std::string_view text, size_t at) {
  size_t n = 0;
  while (at + n < text.size() && IsDigit(text[at + n])) ++n;
  return n;
}

}  // namespace

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && IsSpace(s[a])) ++a;
  while (b > a && IsSpace(s[b - 1])) --b;
  return s.substr(a, b - a);
}

size_t ScanDecimal(std::string_view text, double* value) {
  size_t at = 0;
  const bool negative = at < text.size() && text[at] == '-';
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  const size_t mantissa = at;
  const size_t whole = Digits(text, at);
  at += whole;
  size_t fraction = 0;
  if (at < text.size() && text[at] == '.') {
    fraction = Digits(text, at + 1);
    if (whole == 0 && fraction == 0) return 0;
    at += 1 + fraction;
  }
  if (whole + fraction == 0) return 0;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    size_t e = at + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    const size_t exponent = Digits(text, e);
    if (exponent > 0) at = e + exponent;
  }
  // from_chars takes no '+', and reads the same in every locale.
  double v = 0;
  const auto result =
      std::from_chars(text.data() + mantissa, text.data() + at, v, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // Beyond the range or below it: which one, from the place of the first
    // significant digit and the exponent.
    size_t i = mantissa;
    while (i < text.size() && (text[i] == '0' || text[i] == '.')) ++i;
    const size_t point = mantissa + whole;
    long long place =
        i < point ? static_cast<long long>(point - i) : -static_cast<long long>(i - point - 1);
    const size_t e = text.find_first_of("eE", mantissa);
    if (e != std::string_view::npos && e < at) {
      // Only the sign matters past the range of doubles, and a bounded exponent
      // keeps the sum below from overflowing.
      constexpr long long kBound = 1000000000;
      long long exponent = 0;
      const char* from = text.data() + e + 1 + (text[e + 1] == '+');
      if (std::from_chars(from, text.data() + at, exponent).ec != std::errc())
        exponent = *from == '-' ? -kBound : kBound;  // more digits than a long long holds
      exponent = std::clamp(exponent, -kBound, kBound);
      place += exponent;
    }
    v = place > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  *value = negative ? -v : v;
  return at;
}

bool ParseDecimal(const std::string& text, double* value) {
  const std::string s = Trim(text);
  double v = 0;
  if (s.empty() || ScanDecimal(s, &v) != s.size() || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

bool ParseWhole(const std::string& text, long long* value) {
  const std::string s = Trim(text);
  const size_t i = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
  if (i == s.size() || s.size() - i > 12 || Digits(s, i) != s.size() - i) return false;
  long long v = 0;
  std::from_chars(s.data() + i, s.data() + s.size(), v);
  *value = s[0] == '-' ? -v : v;
  return true;
}

}  // namespace qfhost
