#pragma once
// A read-only key/value registry behind a small seam, with the calling
// conventions of the Windows registry functions the about dialog was written
// against: open a key with access rights, read a value into a caller's buffer
// (type and size in bytes come back), close the key. Results are Windows error
// codes, so callers and test doubles speak one language.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

namespace zebrix {

using RegistryKey = std::uintptr_t;

// Predefined root keys.
inline constexpr RegistryKey kHkeyLocalMachine = 0x80000002u;

// Access rights.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;

// Value types.
inline constexpr std::uint32_t kRegSz = 1;    // string, with its terminating zero
inline constexpr std::uint32_t kRegDword = 4; // 32-bit number, little-endian

// Results.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorMoreData = 234;

class RegistryService {
public:
    virtual ~RegistryService() = default;

    // Opens `subKey` (backslash-separated, case-insensitive) under an open key
    // or a root key. On success `*result` receives a handle to close later.
    virtual long openKey(RegistryKey parent, const QString& subKey, std::uint32_t access, RegistryKey* result) = 0;

    // Reads the value `valueName` of an open key. On entry `*size` is the size
    // of `data` in bytes; on success `*type` is the value's type and `*size`
    // the number of bytes written (a string's terminating zero included).
    // When `data` is too small nothing is written, `*size` receives the size
    // needed and the result is kErrorMoreData. `data` may be null to ask for
    // the type and size only.
    virtual long queryValue(RegistryKey key, const QString& valueName, std::uint32_t* type, char* data,
                            std::uint32_t* size) = 0;

    virtual long closeKey(RegistryKey key) = 0;
};

// The registry of this desktop. Linux keeps no registry; the one entry a
// Windows program looks for to start the system-information tool is answered
// from the programs installed: "SOFTWARE\Microsoft\Shared Tools\MSINFO",
// value "PATH", holds the full path of the first of `programs` found on
// `searchPath` (the PATH environment variable when empty). With none found,
// the key does not exist. Every other key is absent.
class DesktopRegistry : public RegistryService {
public:
    // The system-information programs tried, in this order.
    static std::vector<QString> defaultPrograms();

    explicit DesktopRegistry(std::vector<QString> programs = defaultPrograms(), QStringList searchPath = {});

    long openKey(RegistryKey parent, const QString& subKey, std::uint32_t access, RegistryKey* result) override;
    long queryValue(RegistryKey key, const QString& valueName, std::uint32_t* type, char* data,
                    std::uint32_t* size) override;
    long closeKey(RegistryKey key) override;

    // The full path of the system-information program, empty when none is installed.
    QString systemInformationProgram() const;

private:
    struct OpenKey {
        RegistryKey handle;
        std::uint32_t access;
        std::string path; // the tool's path, 8-bit, as read when the key was opened
    };
    OpenKey* find(RegistryKey key);

    std::vector<QString> programs_;
    QStringList searchPath_;
    std::vector<OpenKey> open_;
    RegistryKey next_ = 0x100;
};

} // namespace zebrix
