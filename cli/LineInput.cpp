#include "LineInput.h"

namespace zebrix::cli {

LineCursor::LineCursor(std::string_view data)
    : data_(data)
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

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace zebrix::cli {

// Appends the next block to the buffer; false at the end of the input.
bool LineReader::fill()
{
    if (eof_)
        return false;
    if (fd_ < 0) {
        buffer_.append(memory_);
        eof_ = true;
        return !memory_.empty();
    }
    char block[65536];
    for (;;) {
        if (stop_ && stop_->load() != 0) {
            eof_ = true;
            return false;
        }
        const ssize_t n = ::read(fd_, block, sizeof block);
        if (n > 0) {
            buffer_.append(block, static_cast<std::size_t>(n));
            return true;
        }
        if (n < 0 && errno == EINTR)
            continue; // the stop flag is looked at again
        if (n < 0)
            error_ = errno;
        eof_ = true;
        return false;
    }
}

bool LineReader::ready() const
{
    if (fd_ < 0 || eof_ || buffer_.find('\n', pos_) != std::string::npos)
        return true;
    pollfd input{fd_, POLLIN, 0};
    return ::poll(&input, 1, 0) != 0; // readable, at its end, or failed: next() does not wait
}

LineReader::Result LineReader::next(std::string& line)
{
    bool tooLong = false;
    for (;;) {
        if (!started_ && (buffer_.size() >= 3 || eof_)) {
            started_ = true;
            if (buffer_.compare(0, 3, "\xEF\xBB\xBF") == 0)
                pos_ = 3;
        }
        const auto end = started_ ? buffer_.find('\n', pos_) : std::string::npos;
        if (end != std::string::npos) {
            line.assign(buffer_, pos_, end - pos_);
            pos_ = end + 1;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (tooLong || line.size() > kMaxLineBytes) {
                line.clear();
                return TooLong;
            }
            return Line;
        }
        if (buffer_.size() - pos_ > kMaxLineBytes + 1) {
            tooLong = true; // the rest of it is read and dropped
            pos_ = buffer_.size();
        }
        buffer_.erase(0, pos_);
        pos_ = 0;
        if (!fill()) {
            if (error_ != 0)
                return Failed;
            if (stop_ && stop_->load() != 0)
                return End;
            if (!started_ || buffer_.find('\n', pos_) != std::string::npos)
                continue; // the lines of a last short block
            if (pos_ >= buffer_.size())
                return tooLong ? (buffer_.clear(), TooLong) : End;
            line.assign(buffer_, pos_, std::string::npos);
            buffer_.clear();
            pos_ = 0;
            if (tooLong || line.size() > kMaxLineBytes) {
                line.clear();
                return TooLong;
            }
            return Line;
        }
    }
}

} // namespace zebrix::cli
