#pragma once
// zebrix-cli-reader.so: the readers in a module of their own, which zebrix-cli
// loads only for --verify (loading ZXing-C++ and the shared C++ library would
// cost every run more than its whole drawing). What crosses the boundary is
// plain C: the texts read, each ended by a NUL, in one buffer from malloc.
#include "Readers.h"

#include <cstddef>

namespace zebrix {

// The module's one function, zebrix_cli_read: ReadBarcodes in C types (a
// null pointer when it fails).
using ModuleReadFunction = char* (*)(const std::uint8_t* pixels, int width, int height, int stride, int reader,
    int symbology, int dropCode39Check, std::size_t* size);

// ReadBarcodes through the module, loaded at the first call: next to the
// program (the build tree), then in the program's library folder once
// installed. Nothing (and why) when it cannot be loaded or fails.
std::optional<std::vector<std::string>> ReadWithModule(
    Reader reader, const GreyPicture& picture, Symbology symbology, bool dropCode39Check, std::string& why);

// Whether the module can be loaded (it is then, once); why not, when not.
bool ReaderModuleLoads(std::string& why);

// A module of this program (zebrix-cli-NAME.so) loaded, next to the program (the build tree), then in the
// program's library folder once installed: the address of its symbol, or nothing and why.
void* LoadModuleSymbol(const std::string& file, const char* symbol, std::string& why);

// The running program's folder, where the build tree keeps its modules ("" if unknown).
std::string ProgramFolder();

} // namespace zebrix
