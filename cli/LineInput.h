#pragma once
#include <string_view>
#include <vector>

namespace zebrix::cli {

// The lines of a batch file: split at LF, a CR before the LF dropped, a
// last line without a line break kept (a final line break adds no empty
// line), a UTF-8 byte-order mark at the very start skipped.
std::vector<std::string_view> SplitLines(std::string_view data);

} // namespace zebrix::cli
