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
        Reads, // a reader reads exactly the text encoded (reason: None, or Cut or TooShort as a warning)
        DoesNotRead, // see reason
        NotRead, // no reader could be run, and the drawing gives no reason
    };
    enum class Reason {
        None, // nothing to say, or no reason known (see read)
        Message, // a message is shown instead of a barcode
        Cut, // cut at the right edge of the picture
        WidenedSpaces, // Code 128 with the spaces widened for print
        TooShort, // under 6 digits (Interleaved 2 of 5) or 2 characters (Codabar)
        OverSavedPicture, // drawn over the picture of the last save
    };
    Kind kind = Kind::Nothing;
    Reason reason = Reason::None;
    Symbology symbology = Symbology::Code39;
    std::string expected; // what a scanner returns (UTF-8)
    std::vector<std::string> read; // what the readers returned, when it was not that
    std::string check; // the check character that ends `expected`, if any

    // "Lisible", "Illisible" or "" (nothing to read).
    std::string word() const;
    // Why, in French (UTF-8): for a barcode that reads, what a scanner
    // returns (and a warning when it is cut); else the reason, or what was
    // read instead. A cut barcode is mended by a wider window, or on the
    // command line a wider image.
    std::string explanation(bool commandLine = false) const;
};

// What a scanner returns for a drawing: its label, in UTF-8 (check
// characters included: a scanner passes them on; Codabar's start and stop
// characters not).
std::string ExpectedReading(const Drawing& drawing);

// The verdict that no reading can change (nothing to read, a message), or
// nothing when the picture must be read.
std::optional<Verdict> JudgeWithoutReading(const Drawing& drawing, Symbology symbology);

// The whole verdict: the picture read with ZXing-C++ and, when it does not
// read the text encoded, with zbar. A barcode that a reader reads is
// "Lisible", even cut or short (then said as a warning); otherwise the
// drawing says why when it can (cut, widened Code 128 spaces, too short),
// else what was read instead.
// drawnOverSavedPicture: the picture holds an older one under the drawing.
Verdict Judge(const Drawing& drawing, Symbology symbology, const Options& options, bool drawnOverSavedPicture,
    const ReadFunction& read);

} // namespace zebrix
