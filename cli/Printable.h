#pragma once
#include <string>
#include <string_view>

namespace zebrix::cli {

// A message as it may go to a terminal: every character that is not
// printable (controls, escape sequences' ESC, direction marks, line
// separators, invisible ones) as its code, "U+0009", and bytes that are not
// UTF-8 as "\xFF". Nothing from the input can then move the cursor, change
// colours or hide part of the line.
std::string Printable(std::string_view utf8);

// Whether a character is shown by its code rather than as itself.
bool ShownByCode(char32_t c);

} // namespace zebrix::cli
