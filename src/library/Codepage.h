#pragma once

#include <string>
#include <string_view>

namespace lib {

// Text is UTF-8 in memory and Windows-1251 in files, messages and on the wire.
// Neither direction fails: a character CP1251 cannot hold becomes "?", a byte CP1251 leaves
// undefined (0x98) or a broken UTF-8 sequence becomes U+FFFD / "?".
std::string toCp1251(std::string_view utf8);
std::string fromCp1251(std::string_view cp1251);

// Case folding of CP1251 bytes (Latin and Cyrillic), for names compared without case.
char foldCaseCp1251(char c);
std::string foldCaseCp1251(std::string_view cp1251);

} // namespace lib
