#pragma once
#include <atomic>
#include <string>
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

namespace zebrix::cli {

// Longest line a batch takes; a longer one is reported and skipped (no
// barcode that long fits in a picture anyway).
constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

// The lines of a file, a pipe or bytes in memory, read in blocks as they
// are drawn, so that the input's size never shows in memory. The same
// lines as LineCursor.
class LineReader {
public:
    explicit LineReader(int fd, const std::atomic<int>* stop = nullptr)
        : fd_(fd)
        , stop_(stop)
    {
    }
    explicit LineReader(std::string_view bytes)
        : memory_(bytes)
    {
    }

    enum Result { Line, TooLong, End, Failed };
    // The next line into line; TooLong: a line over kMaxLineBytes, skipped;
    // Failed: a read error (error() holds errno); End also when stop is set.
    Result next(std::string& line);
    int error() const { return error_; }
    // Whether next() has a line without waiting for the input (a terminal
    // or a pipe may not have sent one yet).
    bool ready() const;

private:
    bool fill();

    int fd_ = -1;
    const std::atomic<int>* stop_ = nullptr;
    std::string_view memory_;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool started_ = false, eof_ = false;
    int error_ = 0;
};

} // namespace zebrix::cli
