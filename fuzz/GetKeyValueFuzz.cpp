// GetKeyValue on any answer a registry can give: any result codes, any value
// type, any size reported back (beyond the buffer included), any bytes.
// Checks: nothing past the bytes the registry wrote is read, a failure leaves
// an empty value and false, a key opened is closed exactly once, and a string
// value is the bytes reported, less one terminating zero.
#include "about/frmAbout.h"

#include <QApplication>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace zebrix;

namespace {

constexpr std::uint32_t kBufferSize = 1024; // what GetKeyValue hands the registry
constexpr RegistryKey kHandle = 0x4242;

long Code(std::uint8_t selector)
{
    constexpr long codes[] = {kErrorSuccess, kErrorFileNotFound, kErrorAccessDenied, kErrorInvalidHandle,
                              kErrorMoreData, kErrorInvalidParameter};
    return selector < 200 ? kErrorSuccess : codes[selector % std::size(codes)];
}

// A registry whose answers are read from the fuzzer's bytes.
class ScriptedRegistry : public RegistryService {
public:
    long openResult = kErrorSuccess;
    long queryResult = kErrorSuccess;
    std::uint32_t type = 0;
    std::uint32_t reportedSize = 0;
    bool reportsItsOwnSize = false; // a well-behaved registry: the bytes written
    std::vector<std::uint8_t> value;

    int opens = 0;
    int queries = 0;
    int closes = 0;
    std::uint32_t written = 0;

    long openKey(RegistryKey, const QString&, std::uint32_t, RegistryKey* result) override
    {
        ++opens;
        *result = openResult == kErrorSuccess ? kHandle : 0;
        return openResult;
    }

    long queryValue(RegistryKey key, const QString&, std::uint32_t* outType, char* data, std::uint32_t* size) override
    {
        ++queries;
        if (key != kHandle || size == nullptr || *size != kBufferSize || data == nullptr)
            __builtin_trap(); // GetKeyValue asks with its own open key and its whole buffer
        if (queryResult != kErrorSuccess) {
            *size = reportedSize; // what a failing registry may leave there
            return queryResult;
        }
        // Never more than the caller's buffer: that much the caller may rely on.
        written = std::min<std::uint32_t>(static_cast<std::uint32_t>(value.size()), *size);
        if (written > 0)
            std::memcpy(data, value.data(), written);
        *outType = type;
        *size = reportsItsOwnSize ? written : reportedSize;
        return kErrorSuccess;
    }

    long closeKey(RegistryKey key) override
    {
        if (key != kHandle)
            __builtin_trap();
        ++closes;
        return kErrorSuccess;
    }
};

class NoMessages : public MessageBoxService {
public:
    MessageAnswer show(QWidget*, const QString&, const QString&, MessageIcon, MessageButtons) override
    {
        return MessageAnswer::Ok;
    }
};

class NoShell : public ShellService {
public:
    void openAddress(QWidget*, const QString&, const QString&, const std::optional<QString>&,
                     const std::optional<QString>&) override
    {
    }
    bool startProgram(const QString&) override { return false; }
    bool fileExists(const QString&) override { return false; }
};

ScriptedRegistry* registry = nullptr;
frmAbout* dialog = nullptr;

std::uint32_t U32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "getkeyvalue_fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    static ScriptedRegistry scripted;
    static NoMessages messages;
    static NoShell shell;
    static frmAbout about(nullptr, AboutServices{&messages, &scripted, &shell});
    registry = &scripted;
    dialog = &about;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 11)
        return 0;
    ScriptedRegistry& r = *registry;
    r = ScriptedRegistry{};
    r.openResult = Code(data[0]);
    r.queryResult = Code(data[1]);
    r.reportsItsOwnSize = (data[2] & 1) != 0;
    // Mostly the two types handled, sometimes any other.
    const std::uint32_t types[] = {kRegSz, kRegDword, U32(data + 3)};
    r.type = types[(data[2] >> 1) % 3];
    r.reportedSize = U32(data + 7);
    if ((data[2] & 0x18) != 0x18)
        r.reportedSize %= kBufferSize + 8; // mostly near the buffer's size
    r.value.assign(data + 11, data + size);

    const QString sentinel = QStringLiteral("unchanged");
    QString value = sentinel;
    const bool read = dialog->GetKeyValue(kHkeyLocalMachine, QStringLiteral("SOFTWARE\\Zebrix"),
                                          QStringLiteral("PATH"), value);

    if (r.opens != 1)
        __builtin_trap();
    if (r.openResult != kErrorSuccess) {
        if (read || !value.isEmpty() || r.queries != 0 || r.closes != 0)
            __builtin_trap();
        return 0;
    }
    if (r.queries != 1 || r.closes != 1)
        __builtin_trap(); // an opened key is closed once, whatever happened
    if (r.queryResult != kErrorSuccess) {
        if (read || !value.isEmpty())
            __builtin_trap();
        return 0;
    }
    const std::uint32_t reported = r.reportsItsOwnSize ? r.written : r.reportedSize;
    if (reported > kBufferSize) {
        if (read || !value.isEmpty())
            __builtin_trap(); // a size past the buffer is refused, not followed
        return 0;
    }
    if (!read)
        __builtin_trap();

    // The buffer as the registry left it: its bytes, then the zeros it started with.
    std::array<char, kBufferSize> buffer{};
    if (r.written > 0)
        std::memcpy(buffer.data(), r.value.data(), r.written);
    qsizetype kept = reported;
    if (kept > 0 && buffer[static_cast<std::size_t>(kept - 1)] == '\0')
        --kept;
    if (r.type == kRegSz) {
        if (value != QString::fromLocal8Bit(buffer.data(), kept))
            __builtin_trap();
    } else if (r.type == kRegDword) {
        if (!value.startsWith(QLatin1String("&h")) || value.size() < 3 || value.size() > 10)
            __builtin_trap();
        for (qsizetype i = 2; i < value.size(); ++i)
            if (!value[i].isDigit() && (value[i] < QLatin1Char('A') || value[i] > QLatin1Char('F')))
                __builtin_trap();
    } else if (value != sentinel) {
        __builtin_trap(); // another type leaves the value as it was
    }
    return 0;
}
