// Finds and loads zebrix-cli-qt.so: next to the program (the build tree),
// then in the library folder of an installed program.
#include "QtServices.h"

#include <climits>
#include <dlfcn.h>
#include <mutex>
#include <unistd.h>

#ifndef ZEBRIX_MODULE_RELDIR
#define ZEBRIX_MODULE_RELDIR "../lib/zebrix"
#endif

namespace zebrix::cli {

namespace {

std::mutex gMutex;
QtServices* gServices = nullptr;
std::string gError;
bool gTried = false;

std::string ProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    std::string s(path, static_cast<std::size_t>(n));
    const auto slash = s.rfind('/');
    return slash == std::string::npos ? std::string() : s.substr(0, slash);
}

} // namespace

void UseQtServices(QtServices* services)
{
    std::lock_guard lock(gMutex);
    gServices = services;
    gTried = true;
}

void ShutdownQtServices()
{
    std::lock_guard lock(gMutex);
    if (gServices)
        gServices->shutdown();
}

QtServices* GetQtServices(std::string& why)
{
    std::lock_guard lock(gMutex);
    if (gTried) {
        why = gError;
        return gServices;
    }
    gTried = true;
    const std::string folder = ProgramFolder();
    std::string errors;
    for (const std::string& candidate : {folder + "/zebrix-cli-qt.so", folder + "/" ZEBRIX_MODULE_RELDIR "/zebrix-cli-qt.so"}) {
        if (::access(candidate.c_str(), R_OK) != 0)
            continue;
        void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* e = ::dlerror();
            errors = e ? e : candidate;
            continue;
        }
        auto entry = reinterpret_cast<QtServices* (*)()>(::dlsym(handle, "zebrix_cli_qt_services"));
        if (entry && (gServices = entry()))
            return gServices;
        errors = candidate + " is not the module of this program";
    }
    gError = "cannot load the Qt module (zebrix-cli-qt.so): " + (errors.empty() ? std::string("not found") : errors);
    why = gError;
    return nullptr;
}

} // namespace zebrix::cli
