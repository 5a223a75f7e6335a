#pragma once
// Shared by the save tests: a window stand-in over a real drawing surface,
// and the real converter library as the program loads it.
#include "barcode/Drawing.h"
#include "output/SaveHost.h"
#include "output/converter/Zarezu_BmpJpg.h"
#include "qtsurface/BarcodePicture.h"

#include <QDir>
#include <QLibrary>

namespace zebrix::test {

// What the save command sees of the main window.
class SurfaceHost : public SaveHost {
public:
    void draw(Symbology symbology, const std::u16string& text)
    {
        surface.show(Encode(symbology, text, {0, 1, 0}, surface.width()));
    }
    QImage currentImage() const override { return surface.image(); }
    void setBackgroundPicture(const QImage& picture) override { surface.setBackgroundPicture(picture); }
    void setCaption(const QString& text) override { caption = text; }
    QWidget* dialogParent() override { return nullptr; }

    BarcodePicture surface{BarcodePicture::kDefaultWidth};
    QString caption = "Zebrix";
};

inline QString ConverterFolder() { return QStringLiteral(ZEBRIX_CONVERTER_DIR); }
// A broken converter: "nofunction", "silent" or "huge".
inline QString FakeConverterFolder(const char* kind)
{
    return QStringLiteral(FAKE_CONVERTERS_DIR "/") + QLatin1String(kind);
}

// RsBmpToJpg from the real library, loaded as the program loads it.
inline RsBmpToJpgFunction RealConverter()
{
    static QLibrary library(QDir(ConverterFolder()).filePath(QStringLiteral("libZarezu_BmpJpg.so")));
    static const auto f = reinterpret_cast<RsBmpToJpgFunction>(library.resolve("RsBmpToJpg"));
    return f;
}

inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
inline bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Every entry of a folder, hidden ones included, sorted.
inline QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace zebrix::test
