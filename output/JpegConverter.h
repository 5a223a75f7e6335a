#pragma once
// Finds the converter library and calls it.
#include "converter/Zarezu_BmpJpg.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace zebrix {

inline QString ConverterFileName() { return QStringLiteral("libZarezu_BmpJpg.so"); }

// The folders searched in order for the library: the folder named by the
// environment variable ZEBRIX_CONVERTER_DIR alone when it is set; otherwise
// the program's own folder, then the private library folder (lib/<arch>/zebrix)
// of the installed tree around it, then the one it was configured to be
// installed to.
QStringList ConverterFolders();

enum class ConverterOutcome { Done, LibraryMissing, FunctionMissing, Failed };
struct ConverterResult {
    ConverterOutcome outcome;
    std::int32_t code = 0; // what the converter returned
};

// RsBmpToJpg(source, destination, ratio, 1) from the first library found.
// A library once loaded stays loaded: nothing to gain by unloading it.
ConverterResult ConvertToJpeg(const QString& source, const QString& destination, int ratio);

} // namespace zebrix
