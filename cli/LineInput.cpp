#include "LineInput.h"

namespace zebrix::cli {

std::vector<std::string_view> SplitLines(std::string_view data)
{
    if (data.substr(0, 3) == "\xEF\xBB\xBF")
        data.remove_prefix(3);
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < data.size()) {
        auto end = data.find('\n', pos);
        const bool last = end == std::string_view::npos;
        if (last)
            end = data.size();
        std::string_view line = data.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        pos = last ? data.size() : end + 1;
    }
    return lines;
}

} // namespace zebrix::cli
