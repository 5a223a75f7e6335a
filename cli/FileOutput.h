#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace zebrix::cli {

// Puts the bytes in the file as one step: they are written to a nameless (or
// private temporary) file in the target's folder, which then takes the name,
// so that a reader never sees half a file and a failed write keeps the file
// it was to replace. A file that is there already keeps its permissions; a
// symbolic link is followed; a device or pipe is written to directly.
// Returns an empty string, or what went wrong.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);

// Reads a whole file (at most maxBytes); false if it cannot be read or is larger.
bool ReadWholeFile(const std::string& path, std::string& out, std::size_t maxBytes);

// Creates the folder and its parents (mode 0700 for those it creates).
bool MakeFolders(const std::string& path);

} // namespace zebrix::cli
