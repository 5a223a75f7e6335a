#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace zebrix {

struct WriteResult {
    enum class Failure {
        None,
        IsFolder, // the name is a folder's
        NotRegular, // a device, a pipe or a socket: never written into (it could block)
        BrokenLink, // a symbolic link to nothing
        System, // the system refused: error holds errno (no folder, full disk, no right ...)
    };
    Failure failure = Failure::None;
    int error = 0;
    bool written() const { return failure == Failure::None; }
};

// Writes the bytes to the file, whole or not at all, whatever stops the
// program and whoever watches the folder: the bytes go to a nameless file
// (or a private temporary one) in the same folder, which takes the name only
// once complete. A file already there is replaced in one step and keeps its
// permissions, and its owner and group where the user may give them; until
// then it stays as it was. A file the user may not write is refused (EACCES),
// as the shell refuses it. A symbolic link is followed to the file it names.
WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes);

// The same, the contents written by `write` into the descriptor it is given,
// a piece at a time if it likes: false (errno set) gives up and leaves
// nothing. For files too large to be made in memory first.
WriteResult WriteFileAtomically(const std::string& path, const std::function<bool(int fd)>& write);

// Writes all the bytes to the descriptor, again after an interruption; false
// (errno set) when the system refuses.
bool WriteFully(int fd, std::string_view bytes);

// Whether the name is one a write is always refused for: a folder, a device
// or a pipe, a symbolic link to nothing. Anything else (a missing name
// included) is left to the write itself.
WriteResult RefusedTarget(const std::string& path);

// What went wrong, in English, for the command line: "cannot write PATH: ...".
std::string Describe(const WriteResult& result, const std::string& path);

// Reads a whole regular file (at most maxBytes); false if it cannot be read,
// is larger, or is not a regular file (a pipe or device is never waited on).
bool ReadWholeFile(const std::string& path, std::string& out, std::size_t maxBytes);

// Opens a standard stream the caller closed (2>&-) on /dev/null; called
// first thing in main, before anything else is opened: a file the program
// opens would take its number and receive what is meant for it. False if
// that cannot be done.
bool OpenClosedStandardStreams();

// Creates the folder and its parents (mode 0700 for those it creates).
bool MakeFolders(const std::string& path);

} // namespace zebrix
