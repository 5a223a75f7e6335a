#pragma once
#include <QString>

#include <cstdint>

namespace zebrix {

// What the save command remembers from one save to the next, for the run of
// the program only (nothing is written to disk).
struct SaveMemory {
    // Full path chosen in the last save dialog; after a complete save, the
    // path actually written. Proposed when the dialog opens again.
    QString lastFileName;
    // File type chosen last, counted from 1; 0 until the first save.
    std::int16_t lastFileType = 0;
    // The text last returned by the ratio box, exactly as returned.
    QString lastRatioText;
};

} // namespace zebrix
