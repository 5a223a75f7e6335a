#pragma once
// Finds the converter library at the first JPEG save and calls it.
#include "converter/Zarezu_BmpJpg.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class QLibrary;

namespace zebrix {

class JpegConverter {
public:
    // Folders searched in order for the library; none given: the program's
    // own folder, then the private library folder (lib/<arch>/zebrix) of the
    // installed tree around it, then the one it was configured to be installed to.
    explicit JpegConverter(QStringList folders = {});
    ~JpegConverter();
    JpegConverter(const JpegConverter&) = delete;
    JpegConverter& operator=(const JpegConverter&) = delete;

    static QString libraryFileName(); // "libZarezu_BmpJpg.so"
    static QStringList defaultFolders();

    enum class Outcome { Done, LibraryMissing, FunctionMissing, Failed };
    struct Result {
        Outcome outcome;
        std::int32_t code = 0; // what the converter returned
    };
    // RsBmpToJpg(source, destination, ratio, 1). The library is looked up on
    // the first call, and again on later calls until it is found.
    Result convert(const QString& source, const QString& destination, int ratio);

private:
    Outcome load();

    QStringList folders_;
    std::unique_ptr<QLibrary> library_;
    RsBmpToJpgFunction function_ = nullptr;
};

} // namespace zebrix
