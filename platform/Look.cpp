#include "Look.h"

#include <QStringList>

namespace zebrix {

QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

QFont UiFont(FontFace face, int pixelSize, bool bold)
{
    QStringList families;
    if (face == FontFace::MsSansSerif)
        for (const char* family : kMsSansSerifFamilies)
            families << QString::fromLatin1(family);
    else
        for (const char* family : kTahomaFamilies)
            families << QString::fromLatin1(family);
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

} // namespace zebrix
