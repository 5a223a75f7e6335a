#pragma once
#include <string_view>
#include <vector>

namespace zebrix::cli {

// The lines of a batch file: split at LF, a CR before the LF dropped, a
// last line without a line break kept (a final line break adds no empty
// line), a UTF-8 byte-order mark at the very start skipped.
std::vector<std::string_view> SplitLines(std::string_view data);

// The same lines one at a time, without a list of them all.
class LineCursor {
public:
    explicit LineCursor(std::string_view data);
    // The next line, false after the last.
    bool next(std::string_view& line);

private:
    std::string_view data_;
    std::size_t pos_ = 0;
};

} // namespace zebrix::cli
