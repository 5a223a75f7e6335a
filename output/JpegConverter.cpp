#include "JpegConverter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>

#ifndef ZEBRIX_INSTALL_LIBDIR
#define ZEBRIX_INSTALL_LIBDIR ""
#endif
#ifndef ZEBRIX_RELATIVE_LIBDIR
#define ZEBRIX_RELATIVE_LIBDIR ""
#endif

namespace zebrix {

QStringList ConverterFolders()
{
    if (const QString chosen = qEnvironmentVariable("ZEBRIX_CONVERTER_DIR"); !chosen.isEmpty())
        return {chosen};
    QStringList folders;
    if (QCoreApplication::instance()) {
        const QString programFolder = QCoreApplication::applicationDirPath();
        folders << programFolder;
        // Installed: bin/zebrix and lib/<arch>/zebrix/libZarezu_BmpJpg.so, wherever the tree was moved.
        if (const QString relative = QStringLiteral(ZEBRIX_RELATIVE_LIBDIR); !relative.isEmpty())
            folders << QDir::cleanPath(programFolder + QStringLiteral("/../") + relative);
    }
    if (const QString installed = QStringLiteral(ZEBRIX_INSTALL_LIBDIR); !installed.isEmpty())
        folders << installed;
    folders.removeDuplicates();
    return folders;
}

ConverterResult ConvertToJpeg(const QString& source, const QString& destination, int ratio)
{
    bool sawLibrary = false;
    for (const QString& folder : ConverterFolders()) {
        const QString path = QDir(folder).filePath(ConverterFileName());
        QLibrary library(path);
        if (!QFileInfo(path).isFile() || !library.load())
            continue;
        sawLibrary = true;
        if (auto convert = reinterpret_cast<RsBmpToJpgFunction>(library.resolve("RsBmpToJpg"))) {
            const std::int32_t code
                = convert(QFile::encodeName(source).constData(), QFile::encodeName(destination).constData(), ratio, 1);
            return {code == ZAREZU_OK ? ConverterOutcome::Done : ConverterOutcome::Failed, code};
        }
    }
    return {sawLibrary ? ConverterOutcome::FunctionMissing : ConverterOutcome::LibraryMissing};
}

} // namespace zebrix
