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

JpegConverter::JpegConverter(QStringList folders)
    : folders_(folders.isEmpty() ? defaultFolders() : std::move(folders))
{
}

JpegConverter::~JpegConverter() = default; // the library stays loaded: nothing to gain by unloading it

QString JpegConverter::libraryFileName() { return QStringLiteral("libZarezu_BmpJpg.so"); }

QStringList JpegConverter::defaultFolders()
{
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

JpegConverter::Outcome JpegConverter::load()
{
    if (function_)
        return Outcome::Done;
    bool sawLibrary = false;
    for (const QString& folder : std::as_const(folders_)) {
        const QString path = QDir(folder).filePath(libraryFileName());
        if (!QFileInfo(path).isFile())
            continue;
        auto library = std::make_unique<QLibrary>(path);
        if (!library->load())
            continue;
        sawLibrary = true;
        if (auto f = reinterpret_cast<RsBmpToJpgFunction>(library->resolve("RsBmpToJpg"))) {
            function_ = f;
            library_ = std::move(library);
            return Outcome::Done;
        }
    }
    return sawLibrary ? Outcome::FunctionMissing : Outcome::LibraryMissing;
}

JpegConverter::Result JpegConverter::convert(const QString& source, const QString& destination, int ratio)
{
    if (const Outcome o = load(); o != Outcome::Done)
        return {o};
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(destination);
    const std::int32_t code = function_(from.constData(), to.constData(), ratio, 1);
    return {code == ZAREZU_OK ? Outcome::Done : Outcome::Failed, code};
}

} // namespace zebrix
