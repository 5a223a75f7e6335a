#pragma once
// The file names a batch has given out, so that no line writes over a file
// an earlier line of the same batch wrote.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zebrix::cli {

// The files the batch has taken, as 64-bit hashes of their names in an
// open-addressed table: 16 bytes a line at most, for any number of lines.
// Two different names with the same hash (about one chance in 10^7 for
// three million names) would make the second line reported as taken.
class TakenFiles {
public:
    bool contains(const std::string& key) const
    {
        const std::uint64_t h = Hash(key);
        return !slots_.empty() && slots_[find(h)] == h;
    }

    // False if the file was taken already.
    bool insert(const std::string& key)
    {
        const std::uint64_t h = Hash(key);
        if (2 * (count_ + 1) > slots_.size())
            grow();
        std::uint64_t& slot = slots_[find(h)];
        if (slot == h)
            return false;
        slot = h;
        ++count_;
        return true;
    }

private:
    static std::uint64_t Hash(const std::string& key)
    {
        const std::uint64_t h = std::hash<std::string>{}(key);
        return h == 0 ? 1 : h;
    }

    // The slot that holds h, or the empty one where it would go.
    std::size_t find(std::uint64_t h) const
    {
        std::size_t i = h & (slots_.size() - 1);
        while (slots_[i] != 0 && slots_[i] != h)
            i = (i + 1) & (slots_.size() - 1);
        return i;
    }

    void grow()
    {
        std::vector<std::uint64_t> old(std::max<std::size_t>(1024, 2 * slots_.size()), 0);
        old.swap(slots_);
        for (const std::uint64_t h : old)
            if (h != 0)
                slots_[find(h)] = h;
    }

    std::vector<std::uint64_t> slots_;
    std::size_t count_ = 0;
};

// The file a name stands for, the same string for every name of it: the
// folder's real path (looked up once per folder in a row) and the name in
// it; a symbolic link stands for the file it leads to.
class FileKeys {
public:
    std::string key(const std::string& path, int links = 0)
    {
        const auto slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
        struct stat st { };
        if (links < 40 && ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
            // Followed even to a file not written yet: an earlier line may write it.
            char target[PATH_MAX];
            const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
            if (n > 0) {
                const std::string to(target, static_cast<std::size_t>(n));
                return key(to.front() == '/' ? to : folder + "/" + to, links + 1);
            }
        }
        if (folder != folder_) {
            folder_ = folder;
            char resolved[PATH_MAX];
            realFolder_ = ::realpath(folder.c_str(), resolved) ? resolved : folder;
        }
        return realFolder_ + "/" + (slash == std::string::npos ? path : path.substr(slash + 1));
    }

private:
    std::string folder_, realFolder_;
};

} // namespace zebrix::cli
