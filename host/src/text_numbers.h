// Numbers as a person types them on the command line: plain decimals only,
// so that "inf", "nan" and hexadecimal never pass as numbers.
#pragma once

#include <string>

namespace qfhost {

// Without the white space around it.
std::string Trim(const std::string& s);

// sign? (digits (. digits?)? | . digits) (e sign? digits)?, finite; white
// space around it is allowed.
bool ParseDecimal(const std::string& text, double* value);

// sign? digits, at most 12 of them; white space around it is allowed.
bool ParseWhole(const std::string& text, long long* value);

}  // namespace qfhost
