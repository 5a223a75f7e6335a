#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace zebrix::cli {

// Writes the bytes to the file, whole or not at all. A new file is made
// under its name and removed again if the write fails. A file that is there
// already is replaced in one step: the bytes go to a nameless (or private
// temporary) file in the same folder, which then takes the name, so a
// failed write keeps the old file and a reader never sees half a new one;
// it keeps its permissions. A symbolic link is followed; a device or pipe is
// written to directly. Returns an empty string, or what went wrong.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);

// Reads a whole file (at most maxBytes); false if it cannot be read or is larger.
bool ReadWholeFile(const std::string& path, std::string& out, std::size_t maxBytes);

// Creates the folder and its parents (mode 0700 for those it creates).
bool MakeFolders(const std::string& path);

} // namespace zebrix::cli
