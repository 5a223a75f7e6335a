#pragma once
// Whether a drawn barcode reads, and why not: one judgement for the window's
// indicator and zebrix-cli --verify. Plain C++; the readers come from the
// caller (the window calls ZXing-C++ and zbar directly, the command line
// through its reader module).
#include "barcode/Drawing.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zebrix {

// The readers a picture is read with, in the order they are tried.
enum class Reader { ZXing, Zbar };

// The texts a reader found in the picture, or nothing when it could not be run.
using ReadFunction = std::function<std::optional<std::vector<std::string>>(Reader)>;

struct Verdict {
    enum class Kind {
        Nothing, // empty text: nothing to read
        Reads, // a reader reads exactly the text encoded
        DoesNotRead, // see reason
        NotRead, // no reader could be run
    };
    enum class Reason {
        None, // reads, nothing to read, or no reason known (see readText)
        Message, // a message is shown instead of a barcode
        Cut, // cut at the right edge of the picture
        WidenedSpaces, // Code 128 with the spaces widened for print
        TooShort, // under 6 digits (Interleaved 2 of 5) or 2 characters (Codabar)
        OverSavedPicture, // drawn over the picture of the last save
    };
    Kind kind = Kind::Nothing;
    Reason reason = Reason::None;
    Symbology symbology = Symbology::Code39;
    std::string expected; // what a reader should return (UTF-8)
    std::vector<std::string> read; // what the readers returned, when it was not that

    // "Lisible", "Illisible" or "" (nothing to read).
    std::string word() const;
    // Why, in French (UTF-8): the reason, or what was read instead; for a
    // barcode that reads, what it reads as. A cut barcode is mended by a
    // wider window, or on the command line a wider image.
    std::string explanation(bool commandLine = false) const;
};

// What a reader returns for a drawing: its label without the Code 39 check
// character (readers check it and drop it), in UTF-8.
std::string ExpectedReading(const Drawing& drawing, Symbology symbology, const Options& options);

// The verdict that the drawing alone decides (nothing to read, a message,
// cut, widened Code 128 spaces, too short), or nothing when the picture
// must be read.
std::optional<Verdict> JudgeWithoutReading(const Drawing& drawing, Symbology symbology, const Options& options);

// The whole verdict: what the drawing decides, else the picture read with
// ZXing-C++ and, when it does not read the text encoded, with zbar.
// drawnOverSavedPicture: the picture holds an older one under the drawing.
Verdict Judge(const Drawing& drawing, Symbology symbology, const Options& options, bool drawnOverSavedPicture,
    const ReadFunction& read);

} // namespace zebrix
