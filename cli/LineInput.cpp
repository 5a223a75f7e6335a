#include "LineInput.h"

namespace zebrix::cli {

LineCursor::LineCursor(std::string_view data) : data_(data)
{
    if (data_.substr(0, 3) == "\xEF\xBB\xBF")
        data_.remove_prefix(3);
}

bool LineCursor::next(std::string_view& line)
{
    if (pos_ >= data_.size())
        return false;
    auto end = data_.find('\n', pos_);
    const bool last = end == std::string_view::npos;
    if (last)
        end = data_.size();
    line = data_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    pos_ = last ? data_.size() : end + 1;
    return true;
}

std::vector<std::string_view> SplitLines(std::string_view data)
{
    std::vector<std::string_view> lines;
    LineCursor cursor(data);
    std::string_view line;
    while (cursor.next(line))
        lines.push_back(line);
    return lines;
}

} // namespace zebrix::cli
