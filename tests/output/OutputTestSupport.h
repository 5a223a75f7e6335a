#pragma once
// Shared by the save tests: the real converter library as the program loads it (where ZEBRIX_CONVERTER_DIR
// says), broken ones, and files.
#include "output/converter/Zarezu_BmpJpg.h"
#include "support/Modal.h"

namespace zebrix::test {

inline QString ConverterFolder() { return qEnvironmentVariable("ZEBRIX_CONVERTER_DIR"); }
// A broken converter: "nofunction", "silent" or "huge".
inline QString FakeConverterFolder(const char* kind) { return FAKE_CONVERTERS_DIR "/" + QLatin1String(kind); }

// RsBmpToJpg from the real library, loaded as the program loads it.
inline RsBmpToJpgFunction RealConverter()
{
    static QLibrary library(QDir(ConverterFolder()).filePath(QStringLiteral("libZarezu_BmpJpg.so")));
    return reinterpret_cast<RsBmpToJpgFunction>(library.resolve("RsBmpToJpg"));
}

inline bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Every entry of a folder, hidden ones included, sorted.
inline QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace zebrix::test
