// The converter on any input file: never crashes, and either writes a whole
// JPEG of the bitmap's size, or refuses with one of its error codes and
// writes nothing: no file where there was none, and a file already at the
// destination left byte for byte as it was. It accepts exactly the files the
// bitmap reader takes.
#include "Zarezu_BmpJpg.h"
#include "output/files/BmpReader.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>
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

bool WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && written;
}

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& out)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    out.clear();
    std::uint8_t chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        out.insert(out.end(), chunk, chunk + n);
    std::fclose(f);
    return true;
}

struct Trap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void Jump(j_common_ptr info) { std::longjmp(reinterpret_cast<Trap*>(info->err)->jump, 1); }
void Quiet(j_common_ptr) { }

// True when the bytes are a JPEG that decodes to its last row at this size.
bool DecodesWhole(const std::vector<std::uint8_t>& jpeg, int width, int height)
{
    jpeg_decompress_struct info{};
    Trap trap{};
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = Jump;
    trap.manager.output_message = Quiet;
    std::vector<JSAMPLE> row;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    const bool sized = static_cast<int>(info.output_width) == width && static_cast<int>(info.output_height) == height;
    row.resize(static_cast<std::size_t>(info.output_width) * static_cast<std::size_t>(info.output_components));
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
    }
    jpeg_finish_decompress(&info);
    // A decoder that had to invent data at the end found the file cut short.
    const bool complete = trap.manager.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    return sized && complete;
}

bool IsError(std::int32_t result)
{
    switch (result) {
    case ZAREZU_CANNOT_READ:
    case ZAREZU_NOT_A_BMP:
    case ZAREZU_ENCODING_FAILED:
    case ZAREZU_CANNOT_WRITE:
    case ZAREZU_OUT_OF_MEMORY: return true;
    default: return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string source = Folder() + "/in.bmp";
    const std::string destination = Folder() + "/out.jpg";
    if (!WriteFile(source, data, size))
        std::abort();
    // Half the time a file is already there, and must survive a refusal.
    static const std::uint8_t kPrecious[] = "precious, not to be touched";
    const bool occupied = size % 2 == 1;
    if (occupied && !WriteFile(destination, kPrecious, sizeof kPrecious))
        std::abort();

    const int ratio = static_cast<int>(size % 101); // 0 to 100: out of range included
    const std::int32_t result = RsBmpToJpg(source.c_str(), destination.c_str(), ratio, 1);
    const auto bitmap = zebrix::BmpView::Parse({data, size});

    std::vector<std::uint8_t> out;
    const bool written = ReadFile(destination, out);
    if (result == ZAREZU_OK) {
        if (!bitmap || !written || !DecodesWhole(out, bitmap->width(), bitmap->height()))
            __builtin_trap();
    } else {
        if (!IsError(result) || bitmap)
            __builtin_trap(); // refused with a known error, and only what the reader refuses
        if (occupied ? (!written || out != std::vector<std::uint8_t>(std::begin(kPrecious), std::end(kPrecious)))
                     : written)
            __builtin_trap(); // a refused input leaves nothing behind and nothing changed
    }
    std::remove(source.c_str());
    std::remove(destination.c_str());
    return 0;
}
