// Zarezu_BmpJpg: the exported converter, on libjpeg-turbo.
#include "Zarezu_BmpJpg.h"

#include "output/files/BmpReader.h"
#include "output/files/FileOutput.h"
#include "output/files/Jpeg.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <vector>

namespace {

// Bitmaps bigger than this are not read.
constexpr off_t kMaxFileSize = off_t{256} << 20;

// Reads a regular file whole. FIFOs and devices are refused without blocking.
int ReadWholeFile(const char* path, std::vector<std::uint8_t>& out)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return ZAREZU_CANNOT_READ;
    struct stat st { };
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

// Ratio 100 is quality 100 and each step down of the ratio half a step down of
// the quality: 80 gives 90, 50 gives 75, 20 gives 60. Below about 57, ringing
// around one-pixel bars starts to make readers miss barcodes.
int QualityFor(std::int32_t ratio) { return (std::clamp(ratio, 1, 100) + 100) / 2; }

int Convert(const char* source, const char* destination, std::int32_t ratio, std::int32_t flags)
{
    if (source == nullptr || destination == nullptr || *source == '\0' || *destination == '\0')
        return ZAREZU_BAD_ARGUMENT;
    std::vector<std::uint8_t> file;
    if (const int r = ReadWholeFile(source, file); r != ZAREZU_OK)
        return r;
    const auto bmp = zebrix::BmpView::Parse(file);
    if (!bmp)
        return ZAREZU_NOT_A_BMP;

    zebrix::jpeg::Source picture;
    picture.width = bmp->width();
    picture.height = bmp->height();
    picture.gray = bmp->isGray();
    if (bmp->dotsPerMeterX() > 0 && bmp->dotsPerMeterY() > 0) {
        picture.dpiX = zebrix::jpeg::DotsPerInch(bmp->dotsPerMeterX());
        picture.dpiY = zebrix::jpeg::DotsPerInch(bmp->dotsPerMeterY());
    }
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(bmp->width()) * 3);
    picture.row = [&](int y, std::uint8_t* row) {
        if (!picture.gray) {
            bmp->readRow(y, row);
            return;
        }
        bmp->readRow(y, rgb.data());
        for (int x = 0; x < picture.width; ++x)
            row[x] = rgb[3 * static_cast<std::size_t>(x)];
    };
    // The JPEG goes straight to the file as it is made (it can be far larger
    // than the bitmap), and takes the destination's name only once whole: on
    // failure a file there, its hard links, or what a link points to stay as
    // they were.
    bool encodingFailed = false;
    const auto written = zebrix::WriteFileAtomically(destination, [&](int fd) {
        bool sinkFailed = false;
        const auto sink = [fd, &sinkFailed](const std::uint8_t* bytes, std::size_t size) {
            sinkFailed = !zebrix::WriteFully(fd, {reinterpret_cast<const char*>(bytes), size});
            return !sinkFailed;
        };
        if (zebrix::jpeg::Encode(picture, QualityFor(ratio), (flags & ZAREZU_OPTIMIZE_CODING) != 0, sink))
            return true;
        encodingFailed = !sinkFailed;
        return false;
    });
    if (written.written())
        return ZAREZU_OK;
    return encodingFailed ? ZAREZU_ENCODING_FAILED : ZAREZU_CANNOT_WRITE;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int32_t RsBmpToJpg(
    const char* source, const char* destination, int32_t ratio, int32_t flags)
{
    try {
        return Convert(source, destination, ratio, flags);
    } catch (const std::bad_alloc&) {
        return ZAREZU_OUT_OF_MEMORY;
    } catch (...) {
        return ZAREZU_ENCODING_FAILED;
    }
}
