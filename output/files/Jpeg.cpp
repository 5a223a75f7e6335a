#include "Jpeg.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace zebrix::jpeg {

namespace {

// libjpeg reports errors by calling error_exit, which must not return: we
// jump back to the caller's setjmp. Only plain objects live between the
// setjmp and the calls that may jump, so nothing is skipped that needs
// destroying.
struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOut(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1); }

void Quiet(j_common_ptr) { }

// Where libjpeg puts the compressed bytes: a buffer handed to the sink each
// time it fills, and at the end.
struct Destination {
    jpeg_destination_mgr manager; // first: libjpeg sees only this
    const Sink* sink;
    JOCTET* buffer;
    std::size_t size;
};

Destination& DestinationOf(j_compress_ptr info) { return *reinterpret_cast<Destination*>(info->dest); }

void StartDestination(j_compress_ptr info)
{
    Destination& d = DestinationOf(info);
    d.manager.next_output_byte = d.buffer;
    d.manager.free_in_buffer = d.size;
}

// Hands the first `used` bytes of the buffer on; a refusal, or an exception
// (which must not cross libjpeg), jumps out as libjpeg's own errors do.
void Hand(j_compress_ptr info, std::size_t used)
{
    Destination& d = DestinationOf(info);
    bool taken = false;
    try {
        taken = used == 0 || (*d.sink)(d.buffer, used);
    } catch (...) {
        taken = false;
    }
    if (!taken)
        ERREXIT(info, JERR_FILE_WRITE);
}

boolean EmptyDestination(j_compress_ptr info)
{
    Hand(info, DestinationOf(info).size);
    StartDestination(info);
    return TRUE;
}

void TermDestination(j_compress_ptr info) { Hand(info, DestinationOf(info).size - info->dest->free_in_buffer); }

bool Compress(const Source& source, int quality, bool optimize, std::uint8_t* row, Destination& destination)
{
    jpeg_compress_struct info{};
    ErrorTrap trap{};
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = JumpOut;
    trap.manager.output_message = Quiet;
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    destination.manager.init_destination = StartDestination;
    destination.manager.empty_output_buffer = EmptyDestination;
    destination.manager.term_destination = TermDestination;
    info.dest = &destination.manager;
    info.image_width = static_cast<JDIMENSION>(source.width);
    info.image_height = static_cast<JDIMENSION>(source.height);
    info.input_components = source.gray ? 1 : 3;
    info.in_color_space = source.gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, std::clamp(quality, 1, 100), TRUE);
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    const auto samples = std::uint64_t{info.image_width} * info.image_height * std::uint64_t(info.num_components);
    info.optimize_coding = optimize && samples <= kMostOptimizedSamples ? TRUE : FALSE;
    if (source.dpiX > 0 && source.dpiY > 0) {
        info.density_unit = 1; // dots per inch
        info.X_density = static_cast<UINT16>(std::clamp(source.dpiX, 1, 65535));
        info.Y_density = static_cast<UINT16>(std::clamp(source.dpiY, 1, 65535));
    }
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < source.height; ++y) {
        source.row(y, row);
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

bool Decompress(std::string_view bytes, GrayImage& image)
{
    jpeg_decompress_struct info{};
    ErrorTrap trap{};
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = JumpOut;
    trap.manager.output_message = Quiet;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK
        || std::uint64_t{info.image_width} * info.image_height > (std::uint64_t{1} << 28)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_GRAYSCALE;
    jpeg_start_decompress(&info);
    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    image.pixels.assign(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height), 255);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {image.pixels.data() + static_cast<std::size_t>(info.output_scanline) * info.output_width};
        jpeg_read_scanlines(&info, rows, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

bool Encode(const Source& source, int quality, bool optimizeCoding, const Sink& sink)
{
    if (source.width <= 0 || source.height <= 0 || source.width > 65500 || source.height > 65500)
        return false;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(source.width) * 3);
    std::vector<JOCTET> buffer(std::size_t{1} << 16);
    Destination destination{{}, &sink, buffer.data(), buffer.size()};
    return Compress(source, quality, optimizeCoding, row.data(), destination);
}

bool Encode(const Source& source, int quality, bool optimizeCoding, std::string& out)
{
    out.clear();
    return Encode(source, quality, optimizeCoding, [&out](const std::uint8_t* bytes, std::size_t size) {
        out.append(reinterpret_cast<const char*>(bytes), size);
        return true;
    });
}

bool DecodeGray(std::string_view bytes, GrayImage& image) { return Decompress(bytes, image); }

int DotsPerInch(double dotsPerMeter)
{
    return static_cast<int>(std::clamp(std::floor(dotsPerMeter * 0.0254 + 0.5), 1.0, 65535.0));
}

} // namespace zebrix::jpeg
