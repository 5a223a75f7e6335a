#pragma once
// What the command line asks of Qt and ZXing-C++. They live in a module of
// their own (zebrix-cli-qt.so), loaded only when a run needs them: loading
// Qt's libraries alone takes longer than a whole drawing, and most runs
// need neither.
#include "Bitmap.h"
#include "barcode/Options.h"
#include "GlyphTable.h"
#include "ImageFiles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zebrix::cli {

class QtServices {
public:
    virtual ~QtServices() = default;

    // Lays out the printable ASCII characters in the window's label font and
    // checks, pair by pair, that drawing them one by one gives Qt's pixels.
    // stamps gets the files that decided the outcome (font, libraries).
    // Nothing (and why) when the font's layout is not per-character.
    virtual std::optional<GlyphTable> buildGlyphTable(std::string& stamps, std::string& why) = 0;
    // Qt drawing the labels itself, through the window's surface.
    virtual const LabelPainter& labelPainter() = 0;
    // A grey JPEG of the picture; an empty string or what went wrong.
    virtual std::string encodeJpeg(const Bitmap& bitmap, const Resolution& resolution, int quality,
                                   std::string& bytes) = 0;
    // Reads a picture file (BMP, PNG, JPEG) as grey.
    virtual bool readImage(const std::string& path, GrayImage& image, std::string& why) = 0;
    // What ZXing-C++ reads in the picture, for one symbology only. With
    // code39Check the Code 39 check character is verified and not returned.
    virtual std::vector<std::string> decode(const GrayImage& image, Symbology typeCode, bool code39Check) = 0;
    // Ends what was started (the application object), before the program exits.
    virtual void shutdown() = 0;
};

// The Qt services of this process, the module loaded at the first call.
// Nothing (and why) if the module cannot be loaded.
QtServices* GetQtServices(std::string& why);
// Uses these services instead of the module (a program that links them).
void UseQtServices(QtServices* services);
// Shuts the services down if they were loaded; the last thing a program does.
void ShutdownQtServices();

} // namespace zebrix::cli

extern "C" zebrix::cli::QtServices* zebrix_cli_qt_services();
