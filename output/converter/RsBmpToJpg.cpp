// Zarezu_BmpJpg: the exported converter, on libjpeg-turbo.
#include "Zarezu_BmpJpg.h"

#include "BmpReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include <jpeglib.h>

namespace {

// Bitmaps bigger than this are not read.
constexpr off_t kMaxFileSize = off_t{256} << 20;

// Reads a regular file whole. FIFOs and devices are refused without blocking.
int ReadWholeFile(const char* path, std::vector<std::uint8_t>& out)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return ZAREZU_CANNOT_READ;
    struct stat st {};
    int result = ZAREZU_OK;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        result = ZAREZU_CANNOT_READ;
    else if (st.st_size > kMaxFileSize)
        result = ZAREZU_NOT_A_BMP;
    else {
        out.resize(static_cast<std::size_t>(st.st_size));
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        out.resize(done); // a file that shrank meanwhile is checked as it is
    }
    ::close(fd);
    return result;
}

int WriteWholeFile(const char* path, const unsigned char* data, std::size_t size)
{
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        return ZAREZU_CANNOT_WRITE;
    std::size_t done = 0;
    bool ok = true;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0)
        ok = false;
    if (!ok) {
        ::unlink(path); // never leave a JPEG cut short behind
        return ZAREZU_CANNOT_WRITE;
    }
    return ZAREZU_OK;
}

// libjpeg reports errors by calling error_exit, which must not return: we
// jump back to Encode. Encode keeps only plain objects between the setjmp and
// the calls that may jump, so nothing is skipped that needs destroying.
struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOut(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

void Quiet(j_common_ptr) {}

UINT16 DotsPerInch(int dotsPerMeter)
{
    return static_cast<UINT16>(std::clamp<std::int64_t>((std::int64_t{dotsPerMeter} * 254 + 5000) / 10000, 1, 65535));
}

struct Settings {
    int quality;
    bool optimize;
    bool gray;
};

// Compresses the bitmap into memory (*out, malloc'ed by libjpeg, to be freed
// by the caller even after a failure). `row` holds width * 3 bytes.
bool Encode(const zarezu::BmpView& bmp, Settings settings, std::uint8_t* row, unsigned char** out,
            unsigned long* outSize)
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
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = static_cast<JDIMENSION>(bmp.width());
    info.image_height = static_cast<JDIMENSION>(bmp.height());
    info.input_components = settings.gray ? 1 : 3;
    info.in_color_space = settings.gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, settings.quality, TRUE);
    // Full resolution in every channel: thin bars keep their edges.
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    info.optimize_coding = settings.optimize ? TRUE : FALSE;
    if (bmp.dotsPerMeterX() > 0 && bmp.dotsPerMeterY() > 0) {
        info.density_unit = 1; // dots per inch
        info.X_density = DotsPerInch(bmp.dotsPerMeterX());
        info.Y_density = DotsPerInch(bmp.dotsPerMeterY());
    }
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < bmp.height(); ++y) {
        bmp.readRow(y, row);
        if (settings.gray)
            for (int x = 0; x < bmp.width(); ++x)
                row[x] = row[3 * x];
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

// Ratio 100 is quality 100 and each step down of the ratio half a step down of
// the quality: 80 gives 90, 50 gives 75, 20 gives 60. Below about 57, ringing
// around one-pixel bars starts to make readers miss barcodes.
int QualityFor(std::int32_t ratio)
{
    return (std::clamp(ratio, 1, 100) + 100) / 2;
}

int Convert(const char* source, const char* destination, std::int32_t ratio, std::int32_t flags)
{
    if (source == nullptr || destination == nullptr || *source == '\0' || *destination == '\0')
        return ZAREZU_BAD_ARGUMENT;
    std::vector<std::uint8_t> file;
    if (const int r = ReadWholeFile(source, file); r != ZAREZU_OK)
        return r;
    const auto bmp = zarezu::BmpView::Parse(file);
    if (!bmp)
        return ZAREZU_NOT_A_BMP;

    std::vector<std::uint8_t> row(static_cast<std::size_t>(bmp->width()) * 3);
    const Settings settings{QualityFor(ratio), (flags & ZAREZU_OPTIMIZE_CODING) != 0, bmp->isGray()};
    unsigned char* jpeg = nullptr;
    unsigned long jpegSize = 0;
    const bool encoded = Encode(*bmp, settings, row.data(), &jpeg, &jpegSize);
    const int result = encoded ? WriteWholeFile(destination, jpeg, jpegSize) : ZAREZU_ENCODING_FAILED;
    std::free(jpeg);
    return result;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int32_t RsBmpToJpg(const char* source, const char* destination,
                                                                     int32_t ratio, int32_t flags)
{
    try {
        return Convert(source, destination, ratio, flags);
    } catch (const std::bad_alloc&) {
        return ZAREZU_OUT_OF_MEMORY;
    } catch (...) {
        return ZAREZU_ENCODING_FAILED;
    }
}
