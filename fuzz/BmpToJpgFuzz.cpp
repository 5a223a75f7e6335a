// The converter on any input file: never crashes, and either writes a JPEG or
// reports an error and writes nothing.
#include "Zarezu_BmpJpg.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

const std::string& Folder()
{
    static const std::string folder = [] {
        char name[] = "/tmp/zebrix-fuzz-XXXXXX";
        if (!mkdtemp(name))
            std::abort();
        std::atexit([] { rmdir(Folder().c_str()); });
        return std::string(name);
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string source = Folder() + "/in.bmp";
    const std::string destination = Folder() + "/out.jpg";
    std::FILE* f = std::fopen(source.c_str(), "wb");
    if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0)
        std::abort();

    const int ratio = static_cast<int>(size % 101); // 0 to 100: out of range included
    const std::int32_t result = RsBmpToJpg(source.c_str(), destination.c_str(), ratio, 1);

    std::FILE* out = std::fopen(destination.c_str(), "rb");
    if (result == ZAREZU_OK) {
        unsigned char head[3] = {};
        if (!out || std::fread(head, 1, 3, out) != 3 || head[0] != 0xFF || head[1] != 0xD8 || head[2] != 0xFF)
            __builtin_trap();
    } else if (out) {
        __builtin_trap(); // a refused input leaves nothing behind
    }
    if (out)
        std::fclose(out);
    std::remove(source.c_str());
    std::remove(destination.c_str());
    return 0;
}
