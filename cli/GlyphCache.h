#pragma once
#include "GlyphTable.h"

#include <optional>
#include <string>

namespace zebrix::cli {

// Where the glyph table is kept between runs, and how a run tells that it
// still describes the font Qt would choose now. A table carries stamps
// (modification time and size) of the font file and of the libraries that
// drew it, of every folder fontconfig reads fonts and settings from, and the
// environment variables that steer them; any change makes it stale.

// $XDG_CACHE_HOME/zebrix/label-glyphs.bin (or ~/.cache/...); empty when
// there is no home.
std::string GlyphCachePath();

// Stamps of the font folders and settings.
std::string FontSetupStamps();
// Stamp of one file (a missing file has one too).
std::string FileStamp(const std::string& path);
// Whether the recorded stamps are still those of this machine.
bool StampsStillCurrent(const std::string& recorded);

// The table in the cache file, if there is one and it is current.
std::optional<GlyphTable> LoadGlyphCache(const std::string& path);
// Keeps the table (with its stamps) for the next runs; an empty string or why not.
std::string SaveGlyphCache(const std::string& path, const GlyphTable& table, const std::string& stamps);

} // namespace zebrix::cli
