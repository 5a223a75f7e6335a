#include "PictureFile.h"

#include <QFile>
#include <QImageReader>

#include <cstdint>

namespace zebrix {

namespace {

struct StoredResolution {
    bool x = false;
    bool y = false;
};

std::uint32_t Little32(const QByteArray& b, int at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at]))
        | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8
        | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16
        | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

int Big16(const QByteArray& b, int at)
{
    return static_cast<unsigned char>(b[at]) << 8 | static_cast<unsigned char>(b[at + 1]);
}

// A Windows bitmap records pixels per metre in its info header (none in the
// old 12-byte core header); zero or less is none.
StoredResolution BmpResolution(const QByteArray& head)
{
    if (head.size() < 46 || Little32(head, 14) < 40)
        return {};
    return {static_cast<std::int32_t>(Little32(head, 38)) > 0, static_cast<std::int32_t>(Little32(head, 42)) > 0};
}

// A JPEG file records a density in its JFIF segment, in dots per inch
// (unit 1) or per centimetre (unit 2); unit 0 gives only the pixels' aspect.
StoredResolution JpegResolution(const QByteArray& head)
{
    int at = 2; // after the start-of-image marker
    while (at + 4 <= head.size()) {
        if (static_cast<unsigned char>(head[at]) != 0xFF)
            return {};
        const auto marker = static_cast<unsigned char>(head[at + 1]);
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { // no length
            at += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // image data, or the end: no JFIF segment
            return {};
        const int length = Big16(head, at + 2);
        if (length < 2)
            return {};
        const int data = at + 4;
        if (marker == 0xE0 && length >= 16 && data + 12 <= head.size()
            && head.mid(data, 5) == QByteArray("JFIF\0", 5)) {
            const auto unit = static_cast<unsigned char>(head[data + 7]);
            if (unit != 1 && unit != 2)
                return {};
            return {Big16(head, data + 8) > 0, Big16(head, data + 10) > 0};
        }
        at += 2 + length;
    }
    return {};
}

StoredResolution ResolutionInFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(64 * 1024);
    if (head.startsWith("BM"))
        return BmpResolution(head);
    if (head.startsWith("\xFF\xD8"))
        return JpegResolution(head);
    return {true, true}; // another format: as Qt reads it
}

} // namespace

QImage LoadPicture(const QString& path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage picture = reader.read();
    if (picture.isNull())
        return picture;
    // Qt gives a picture without a resolution the screen's, which is not
    // what the file means.
    const StoredResolution stored = ResolutionInFile(path);
    if (!stored.x || picture.dotsPerMeterX() <= 0)
        picture.setDotsPerMeterX(kDefaultDotsPerMeter);
    if (!stored.y || picture.dotsPerMeterY() <= 0)
        picture.setDotsPerMeterY(kDefaultDotsPerMeter);
    return picture;
}

} // namespace zebrix
