#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lib {

// Blanks, tabs and line ends around a text.
std::string_view trim(std::string_view text);

// The index-th field (from 0) of text cut at separator; a field that begins with a double quote
// runs to the next double quote. Empty when there is no such field. Fields lose their
// surrounding blanks, and the separator after a quoted field belongs to it, so "a", b has two
// fields, not three.
std::string getField(std::string_view text, int index, char separator);

// All the fields getField would give, in order.
std::vector<std::string> splitFields(std::string_view text, char separator);

} // namespace lib
