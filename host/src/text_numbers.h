// Numbers as people and files write them: plain decimals only, so that "inf",
// "nan" and hexadecimal never pass as numbers, read alike in every locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qfhost {

// Without the white space around it.
std::string Trim(const std::string& s);

// The longest decimal number at the start of `text`,
//   sign? (digits (. digits?)? | . digits) ([eE] sign? digits)?
// where an 'e' without digits after it ends the number before it. Returns the
// characters it takes, 0 when no number starts there. A number beyond a
// double's range reads as an infinity of its sign, one below it as zero.
size_t ScanDecimal(std::string_view text, double* value);

// The whole of `text` as a finite decimal number (ScanDecimal's form); white
// space around it is allowed.
bool ParseDecimal(const std::string& text, double* value);

// sign? digits, at most 12 of them; white space around it is allowed.
bool ParseWhole(const std::string& text, long long* value);

}  // namespace qfhost
