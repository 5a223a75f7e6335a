// Finds and loads zebrix-cli-reader.so for zebrix-cli.
#include "ReaderModule.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

#ifndef ZEBRIX_MODULE_RELDIR
#define ZEBRIX_MODULE_RELDIR "../lib/zebrix"
#endif

namespace zebrix {

namespace {

ModuleReadFunction LoadReader(std::string& why)
{
    static std::string error;
    static const auto function
        = reinterpret_cast<ModuleReadFunction>(LoadModuleSymbol("zebrix-cli-reader.so", "zebrix_cli_read", error));
    if (!function)
        why = "cannot load the reader module: " + error;
    return function;
}

} // namespace

std::string ProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    const std::string s(path, static_cast<std::size_t>(n));
    const auto slash = s.rfind('/');
    return slash == std::string::npos ? std::string() : s.substr(0, slash);
}

void* LoadModuleSymbol(const std::string& file, const char* symbol, std::string& why)
{
    const std::string folder = ProgramFolder();
    std::string error;
    for (const std::string& candidate : {folder + "/" + file, folder + "/" ZEBRIX_MODULE_RELDIR "/" + file}) {
        if (::access(candidate.c_str(), R_OK) != 0)
            continue;
        void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* e = ::dlerror();
            error = e ? e : candidate;
            continue;
        }
        if (void* address = ::dlsym(handle, symbol))
            return address;
        error = candidate + " is not a module of this program";
    }
    why = error.empty() ? file + " not found" : error;
    return nullptr;
}

bool ReaderModuleLoads(std::string& why) { return LoadReader(why) != nullptr; }

std::optional<std::vector<std::string>> ReadWithModule(
    Reader reader, const GreyPicture& picture, Symbology symbology, bool dropCode39Check, std::string& why)
{
    const ModuleReadFunction read = LoadReader(why);
    if (!read)
        return std::nullopt;
    std::size_t size = 0;
    char* texts = read(picture.pixels, picture.width, picture.height, picture.stride, static_cast<int>(reader),
        static_cast<int>(symbology), dropCode39Check ? 1 : 0, &size);
    if (!texts) {
        why = "the reader failed";
        return std::nullopt;
    }
    std::vector<std::string> out;
    for (std::size_t i = 0; i < size;) {
        out.emplace_back(texts + i);
        i += out.back().size() + 1;
    }
    std::free(texts);
    return out;
}

} // namespace zebrix
