#include "FileOutput.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace zebrix {

bool WriteFully(int fd, std::string_view bytes)
{
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

namespace {

std::string Folder(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string Base(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t CurrentUmask()
{
    // Read once, before any thread is started by the caller.
    static const mode_t mask = [] {
        const mode_t m = ::umask(022);
        ::umask(m);
        return m;
    }();
    return mask;
}

std::string TemporaryName(const std::string& folder, const std::string& base)
{
    static thread_local std::mt19937_64 random{std::random_device{}()};
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
    return folder + "/." + base.substr(0, 200) + "." + suffix + ".tmp";
}

// Gives a nameless file (O_TMPFILE) a name; fails with EEXIST if the name is taken.
int LinkNameless(int fd, const std::string& path)
{
    // Without /proc: allowed to programs with CAP_DAC_READ_SEARCH only.
    static std::atomic<bool> emptyPathRefused{false};
    if (!emptyPathRefused.load(std::memory_order_relaxed)) {
        if (::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0)
            return 0;
        if (errno != ENOENT && errno != EPERM)
            return -1;
        emptyPathRefused = true;
    }
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    return ::linkat(AT_FDCWD, self, AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW);
}

bool GiveOwner(int fd, const struct stat& old)
{
    return ::fchown(fd, old.st_uid, old.st_gid) == 0 || ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
}

WriteResult SystemFailure(int error) { return {WriteResult::Failure::System, error}; }

} // namespace

WriteResult RefusedTarget(const std::string& path)
{
    struct stat st { };
    if (::lstat(path.c_str(), &st) != 0)
        return {};
    if (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? WriteResult{WriteResult::Failure::BrokenLink, ENOENT} : WriteResult{};
    if (S_ISDIR(st.st_mode))
        return {WriteResult::Failure::IsFolder, EISDIR};
    if (!S_ISREG(st.st_mode))
        return {WriteResult::Failure::NotRegular, 0};
    return {};
}

WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    return WriteFileAtomically(path, [bytes](int fd) { return WriteFully(fd, bytes); });
}

WriteResult WriteFileAtomically(const std::string& requested, const std::function<bool(int fd)>& write)
{
    std::string path = requested;
    struct stat st { };
    bool exists = false;
    struct stat lst { };
    if (::lstat(path.c_str(), &lst) == 0) {
        if (S_ISLNK(lst.st_mode)) {
            if (::stat(path.c_str(), &st) != 0)
                return errno == ENOENT ? WriteResult{WriteResult::Failure::BrokenLink, ENOENT} : SystemFailure(errno);
            char resolved[PATH_MAX];
            if (!::realpath(path.c_str(), resolved))
                return SystemFailure(errno);
            path = resolved;
        } else {
            st = lst;
        }
        exists = true;
        if (S_ISDIR(st.st_mode))
            return {WriteResult::Failure::IsFolder, EISDIR};
        if (!S_ISREG(st.st_mode))
            return {WriteResult::Failure::NotRegular, 0};
        // Refused where the shell's ">>" would be; the folder's rights alone
        // would let it be replaced.
        if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
            return SystemFailure(errno);
    } else if (errno != ENOENT) {
        return SystemFailure(errno);
    }
    const mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    const std::string folder = Folder(path);

    // A nameless file first: nothing is left behind if anything fails.
    int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    std::string temporary;
    if (fd < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return SystemFailure(errno);
        for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
            temporary = TemporaryName(folder, Base(path));
            fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd < 0 && errno != EEXIST)
                return SystemFailure(errno);
        }
        if (fd < 0)
            return SystemFailure(EEXIST);
    }
    auto fail = [&](int error) {
        ::close(fd);
        if (!temporary.empty())
            ::unlink(temporary.c_str());
        return SystemFailure(error);
    };
    try {
        if (!write(fd))
            return fail(errno);
    } catch (...) {
        fail(0);
        throw;
    }
    // The owner and group of the file replaced where we may give them (group
    // alone else); never a reason to fail. Before the mode: a change of
    // owner clears the set-user-ID bit.
    if (exists)
        static_cast<void>(GiveOwner(fd, st));
    if (::fchmod(fd, mode) != 0)
        return fail(errno);

    if (temporary.empty()) {
        // A new file takes its name in one step; if a file took that name
        // meanwhile, it is replaced like any other.
        if (!exists && LinkNameless(fd, path) == 0)
            return ::close(fd) == 0 ? WriteResult{} : SystemFailure(errno);
        if (!exists && errno != EEXIST)
            return fail(errno);
        for (int attempt = 0; attempt < 16 && temporary.empty(); ++attempt) {
            temporary = TemporaryName(folder, Base(path));
            if (LinkNameless(fd, temporary) != 0) {
                const int error = errno;
                temporary.clear();
                if (error != EEXIST)
                    return fail(error);
            }
        }
        if (temporary.empty())
            return fail(EEXIST);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return SystemFailure(error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return SystemFailure(error);
    }
    return {};
}

std::string Describe(const WriteResult& result, const std::string& path)
{
    switch (result.failure) {
    case WriteResult::Failure::None: return {};
    case WriteResult::Failure::IsFolder: return "cannot write " + path + ": it is a folder";
    case WriteResult::Failure::NotRegular: return "cannot write " + path + ": not a regular file (a device or a pipe)";
    case WriteResult::Failure::BrokenLink: return "cannot write " + path + ": a symbolic link to nothing";
    case WriteResult::Failure::System: break;
    }
    return "cannot write " + path + ": " + std::strerror(result.error);
}

bool ReadWholeFile(const std::string& path, std::string& out, std::size_t maxBytes)
{
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    {
        if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
            ::close(fd);
            return false;
        }
        out.reserve(static_cast<std::size_t>(st.st_size));
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        if (out.size() + static_cast<std::size_t>(n) > maxBytes) {
            ::close(fd);
            return false;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

bool OpenClosedStandardStreams()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF
            && ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY) != fd)
            return false;
    return true;
}

bool MakeFolders(const std::string& path)
{
    if (path.empty())
        return false;
    struct stat st { };
    if (::stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const std::string parent = Folder(path);
    if (parent != path && parent != "/" && parent != "." && !MakeFolders(parent))
        return false;
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace zebrix
