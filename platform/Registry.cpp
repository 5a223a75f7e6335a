#include "Registry.h"

#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cstring>

namespace zebrix {

namespace {

const QString kSystemInformationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kSystemInformationValue = QStringLiteral("PATH");

} // namespace

std::vector<QString> DesktopRegistry::defaultPrograms()
{
    // A real system-information tool first, then the desktops' own viewers.
    return {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"), QStringLiteral("gnome-system-monitor"),
            QStringLiteral("mate-system-monitor"), QStringLiteral("xfce4-taskmanager")};
}

DesktopRegistry::DesktopRegistry(std::vector<QString> programs, QStringList searchPath)
    : programs_(std::move(programs)), searchPath_(std::move(searchPath))
{
}

QString DesktopRegistry::systemInformationProgram() const
{
    for (const QString& name : programs_) {
        const QString path = QStandardPaths::findExecutable(name, searchPath_);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

DesktopRegistry::OpenKey* DesktopRegistry::find(RegistryKey key)
{
    const auto it = std::find_if(open_.begin(), open_.end(), [key](const OpenKey& k) { return k.handle == key; });
    return it == open_.end() ? nullptr : &*it;
}

long DesktopRegistry::openKey(RegistryKey parent, const QString& subKey, std::uint32_t access, RegistryKey* result)
{
    if (result == nullptr)
        return kErrorInvalidParameter;
    *result = 0;
    if (parent != kHkeyLocalMachine)
        return find(parent) ? kErrorFileNotFound : kErrorInvalidHandle;
    if (subKey.compare(kSystemInformationKey, Qt::CaseInsensitive) != 0)
        return kErrorFileNotFound;
    const QString program = systemInformationProgram();
    if (program.isEmpty())
        return kErrorFileNotFound;
    open_.push_back({next_, access, QFile::encodeName(program).toStdString()});
    *result = next_++;
    return kErrorSuccess;
}

long DesktopRegistry::queryValue(RegistryKey key, const QString& valueName, std::uint32_t* type, char* data,
                                 std::uint32_t* size)
{
    const OpenKey* k = find(key);
    if (k == nullptr)
        return kErrorInvalidHandle;
    if ((k->access & kKeyQueryValue) == 0)
        return kErrorAccessDenied;
    if (valueName.compare(kSystemInformationValue, Qt::CaseInsensitive) != 0)
        return kErrorFileNotFound;
    if (size == nullptr && data != nullptr)
        return kErrorInvalidParameter;
    if (type)
        *type = kRegSz;
    if (size == nullptr)
        return kErrorSuccess;

    const auto needed = static_cast<std::uint32_t>(k->path.size() + 1); // with the terminating zero
    if (data == nullptr) {
        *size = needed;
        return kErrorSuccess;
    }
    if (*size < needed) {
        *size = needed;
        return kErrorMoreData;
    }
    std::memcpy(data, k->path.c_str(), needed);
    *size = needed;
    return kErrorSuccess;
}

long DesktopRegistry::closeKey(RegistryKey key)
{
    const auto it = std::find_if(open_.begin(), open_.end(), [key](const OpenKey& k) { return k.handle == key; });
    if (it == open_.end())
        return key == kHkeyLocalMachine ? kErrorSuccess : kErrorInvalidHandle;
    open_.erase(it);
    return kErrorSuccess;
}

} // namespace zebrix
