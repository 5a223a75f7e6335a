#pragma once
#include <QString>

#include <cstdint>

namespace zebrix {

// What the save command remembers from one save to the next, for the run of
// the program only (nothing is written to disk), and its two file helpers.
// Folders are separated by "/".
struct Module1 {
    // Full path chosen in the last save dialog; after a complete save, the
    // path actually written. Proposed when the dialog opens again.
    QString NomFichier;
    // File type chosen last, counted from 1; 0 until the first save.
    std::int16_t IndexFiltre = 0;
    // The text last returned by the ratio box, exactly as returned.
    QString TexteRatio;

    // The path with a trailing "/" (unchanged when it has one; "" gives "/").
    static QString AddBackslash(const QString& path);
    // True when a file (not a folder) matches the path. Names starting with
    // "." are hidden and never match. The name part may hold the wildcards
    // "*" and "?".
    static bool FileExists(const QString& path);
};

} // namespace zebrix
