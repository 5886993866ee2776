#include "platform/machine/FileWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

namespace torvex::platform {
namespace {

std::string ErrorText(int error) { return std::strerror(error); }

// Writes all bytes to an open descriptor; 0 or the errno of the failure.
int WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        done += std::size_t(n);
    }
    return 0;
}

// The descriptor a name like /dev/stdout or /proc/self/fd/3 stands for. Such
// a name is written through the descriptor the process already holds: the
// kernel cannot reopen a socket by it, and a shell's ">>" must keep its
// appending.
std::optional<int> DescriptorName(const std::string& name) {
    if (name == "/dev/stdout") return 1;
    if (name == "/dev/stderr") return 2;
    for (const char* prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        std::string_view p(prefix);
        if (name.compare(0, p.size(), p) != 0 || name.size() == p.size() || name.size() > p.size() + 6)
            continue;
        int fd = 0;
        for (std::size_t i = p.size(); i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9') return std::nullopt;
            fd = fd * 10 + (name[i] - '0');
        }
        return fd;
    }
    return std::nullopt;
}

// Follows symbolic links to the file they finally name, which need not exist
// yet (a link to a file still to be made). ELOOP after 40 links, as the
// kernel counts.
std::string FinalPath(std::filesystem::path path, int& error) {
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path.string();
        std::vector<char> target(std::size_t(st.st_size > 0 ? st.st_size : 255) + 1);
        ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) {
            error = errno;
            return {};
        }
        std::filesystem::path next(std::string(target.data(), std::size_t(n)));
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    error = ELOOP;
    return {};
}

std::string WriteToDescriptor(int fd, std::string_view bytes) {
    int error = WriteAll(fd, bytes);
    return error ? ErrorText(error) : std::string();
}

// In place, as cp writes: for a file the process may write in a folder it
// may not create files in.
std::string WriteInPlace(const std::string& path, std::string_view bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return ErrorText(errno);
    int error = WriteAll(fd, bytes);
    if (::close(fd) != 0 && error == 0) error = errno;
    return error ? ErrorText(error) : std::string();
}

}  // namespace

std::string WriteFileSafely(const std::filesystem::path& path, std::string_view bytes) {
    const std::string name = path.string();
    if (name.empty()) return ErrorText(ENOENT);
    if (auto fd = DescriptorName(name)) {
        if (::fcntl(*fd, F_GETFD) < 0) return ErrorText(errno);
        return WriteToDescriptor(*fd, bytes);
    }

    struct stat st {};
    bool exists = ::stat(name.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return ErrorText(errno);
    if (exists && S_ISDIR(st.st_mode)) return ErrorText(EISDIR);
    if (exists && !S_ISREG(st.st_mode)) {
        // A device, FIFO or socket: written straight through, never replaced.
        int fd = ::open(name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) return ErrorText(errno);
        int error = WriteAll(fd, bytes);
        if (::close(fd) != 0 && error == 0) error = errno;
        return error ? ErrorText(error) : std::string();
    }

    int error = 0;
    const std::string target = FinalPath(path, error);
    if (error) return ErrorText(error);
    // A file the user protected is refused; the effective ids decide, so
    // that root writes it as cp would.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return ErrorText(errno);

    std::filesystem::path dir = std::filesystem::path(target).parent_path();
    if (dir.empty()) dir = ".";
    std::string pattern = (dir / ("." + std::filesystem::path(target).filename().string() + ".XXXXXX")).string();
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        int made = errno;
        if (exists && (made == EACCES || made == EPERM || made == EROFS)) return WriteInPlace(target, bytes);
        return ErrorText(made);
    }
    auto fail = [&](int failure) {
        ::close(fd);
        ::unlink(temp.data());
        return ErrorText(failure);
    };
    if (exists) {
        // The owner first: changing it may clear the set-id bits, which the
        // mode then restores where the process may.
        if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) && ::fchown(fd, st.st_uid, st.st_gid) != 0)
            (void)::fchown(fd, uid_t(-1), st.st_gid);
        if (::fchmod(fd, st.st_mode & 07777) != 0) return fail(errno);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd, 0666 & ~mask) != 0) return fail(errno);
    }
    if (int e = WriteAll(fd, bytes)) return fail(e);
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        int e = errno;
        ::unlink(temp.data());
        return ErrorText(e);
    }
    if (::rename(temp.data(), target.c_str()) != 0) {
        int e = errno;
        ::unlink(temp.data());
        return ErrorText(e);
    }
    return {};
}

}  // namespace torvex::platform
