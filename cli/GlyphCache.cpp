#include "GlyphCache.h"

#include "FileOutput.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace zebrix::cli {

namespace {

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string Home() { return Env("HOME"); }

std::string StampOf(char kind, const std::string& path)
{
    struct stat st {};
    std::string line(1, kind);
    line += '\t';
    line += path;
    if (::stat(path.c_str(), &st) != 0) {
        line += "\t-\n";
        return line;
    }
    line += '\t' + std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec) + '\t'
        + std::to_string(st.st_size) + '\t' + std::to_string(st.st_ino) + '\n';
    return line;
}

bool IsFileName(const std::string& name)
{
    for (const char* ending : {".conf", ".ttf", ".otf", ".ttc", ".pfb", ".pfa", ".pcf", ".gz", ".afm", ".dir", ".alias"})
        if (name.size() > std::strlen(ending) && name.compare(name.size() - std::strlen(ending), std::string::npos, ending) == 0)
            return true;
    return false;
}

// Every folder below root (root included), sorted; bounded in depth and count.
void Walk(const std::string& root, int depth, std::vector<std::string>& out)
{
    if (depth > 8 || out.size() > 4000)
        return;
    out.push_back(root);
    DIR* dir = ::opendir(root.c_str());
    if (!dir)
        return;
    std::vector<std::string> children;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string child = root + '/' + name;
        bool isDir = e->d_type == DT_DIR;
        // Links to settings and font files (fontconfig's conf.d is full of
        // them) need no look: a folder's name has no such ending.
        if (e->d_type == DT_LNK && IsFileName(name))
            continue;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st {};
            isDir = ::stat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        if (isDir)
            children.push_back(child);
    }
    ::closedir(dir);
    std::sort(children.begin(), children.end());
    for (const auto& c : children)
        Walk(c, depth + 1, out);
}

std::vector<std::string> FontRoots()
{
    const std::string home = Home();
    const std::string dataHome = !Env("XDG_DATA_HOME").empty() ? Env("XDG_DATA_HOME") : home.empty() ? "" : home + "/.local/share";
    const std::string configHome = !Env("XDG_CONFIG_HOME").empty() ? Env("XDG_CONFIG_HOME") : home.empty() ? "" : home + "/.config";
    std::vector<std::string> roots = {"/etc/fonts", "/usr/share/fonts", "/usr/local/share/fonts"};
    if (!dataHome.empty())
        roots.push_back(dataHome + "/fonts");
    if (!configHome.empty())
        roots.push_back(configHome + "/fontconfig");
    if (!home.empty())
        roots.push_back(home + "/.fonts");
    for (const char* name : {"FONTCONFIG_PATH", "QT_QPA_FONTDIR"})
        if (!Env(name).empty())
            roots.push_back(Env(name));
    return roots;
}

} // namespace

std::string GlyphCachePath()
{
    std::string base = Env("XDG_CACHE_HOME");
    if (base.empty() || base[0] != '/') {
        const std::string home = Home();
        if (home.empty() || home[0] != '/')
            return {};
        base = home + "/.cache";
    }
    return base + "/zebrix/label-glyphs.bin";
}

std::string FontSetupStamps()
{
    std::string stamps;
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "FONTCONFIG_FILE", "FONTCONFIG_PATH",
                             "FONTCONFIG_SYSROOT", "QT_QPA_FONTDIR", "QT_SCALE_FACTOR", "QT_FONT_DPI"})
        stamps += std::string("E\t") + name + '=' + Env(name) + '\n';
    for (const auto& root : FontRoots()) {
        std::vector<std::string> folders;
        Walk(root, 0, folders);
        for (const auto& f : folders)
            stamps += StampOf('D', f);
    }
    return stamps;
}

std::string FileStamp(const std::string& path) { return StampOf('F', path); }

bool StampsStillCurrent(const std::string& recorded)
{
    // Each stamp is checked again on its own, without walking the folders:
    // a folder added or removed anywhere changes its parent's time, and
    // the environment variables fix which folders are the roots.
    std::size_t pos = 0;
    while (pos < recorded.size()) {
        const auto end = recorded.find('\n', pos);
        if (end == std::string::npos)
            return false;
        const std::string line = recorded.substr(pos, end - pos + 1);
        pos = end + 1;
        if (line.size() < 3 || line[1] != '\t')
            return false;
        if (line[0] == 'E') {
            const auto eq = line.find('=');
            if (eq == std::string::npos || line != "E\t" + line.substr(2, eq - 2) + '=' + Env(line.substr(2, eq - 2).c_str()) + '\n')
                return false;
        } else if (line[0] == 'D' || line[0] == 'F') {
            const auto tab = line.find('\t', 2);
            if (tab == std::string::npos || StampOf(line[0], line.substr(2, tab - 2)) != line)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

std::optional<GlyphTable> LoadGlyphCache(const std::string& path)
{
    std::string bytes;
    if (path.empty() || !ReadWholeFile(path, bytes, 1 << 22))
        return std::nullopt;
    std::string stamps;
    auto table = GlyphTable::parse(bytes, &stamps);
    if (!table || !StampsStillCurrent(stamps))
        return std::nullopt;
    return table;
}

std::string SaveGlyphCache(const std::string& path, const GlyphTable& table, const std::string& stamps)
{
    if (path.empty())
        return "no folder for the cache";
    const auto slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash)))
        return "cannot create " + path.substr(0, slash);
    return WriteFileAtomically(path, table.serialize(stamps));
}

} // namespace zebrix::cli
