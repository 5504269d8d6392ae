#include "document/SafeFileWriter.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string directoryOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path finally names, following symbolic links, even when the last link
// points at a file that does not exist yet.
std::string resolveLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        char buffer[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), buffer, sizeof buffer - 1);
        if (length < 0)
            return path;
        std::string link(buffer, static_cast<std::size_t>(length));
        path = link.starts_with('/') ? link : directoryOf(path) + "/" + link;
    }
    return path;
}

int closeRetrying(int fd)
{
    // After an interrupted close the descriptor is gone on Linux; never close it twice.
    const int result = ::close(fd);
    return result != 0 && errno == EINTR ? 0 : result;
}

} // namespace

SafeFileWriter::~SafeFileWriter()
{
    discard();
}

bool SafeFileWriter::fail(int errorNumber)
{
    error_ = std::strerror(errorNumber);
    discard();
    return false;
}

void SafeFileWriter::discard()
{
    if (fd_ >= 0)
        closeRetrying(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool SafeFileWriter::open(const std::string& path)
{
    discard();
    failedToOpen_ = true;
    error_.clear();
    if (path.empty())
        return fail(ENOENT);
    target_ = resolveLinks(path);

    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT)
        return fail(errno);
    if (exists && S_ISDIR(existing.st_mode))
        return fail(EISDIR);

    if (exists && !S_ISREG(existing.st_mode)) {
        fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd_ < 0)
            return fail(errno);
        failedToOpen_ = false;
        return true;
    }

    const std::string stem = directoryOf(target_) + "/." + nameOf(target_) + ".saving-" + std::to_string(::getpid());
    for (int attempt = 0; fd_ < 0; ++attempt) {
        std::string candidate = stem + "-" + std::to_string(attempt);
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd_ >= 0)
            temporary_ = std::move(candidate);
        else if (errno != EEXIST || attempt >= 100)
            return fail(errno);
    }
    if (exists) {
        // Best effort: a file of someone else's stays theirs where we may give it back.
        if (::fchown(fd_, existing.st_uid, existing.st_gid) != 0)
            errno = 0;
        if (::fchmod(fd_, existing.st_mode & 07777) != 0 && ::fchmod(fd_, existing.st_mode & 0777) != 0)
            return fail(errno);
    }
    failedToOpen_ = false;
    return true;
}

bool SafeFileWriter::write(std::string_view data)
{
    if (fd_ < 0)
        return false;
    while (!data.empty()) {
        const ssize_t written = ::write(fd_, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool SafeFileWriter::commit()
{
    if (fd_ < 0)
        return false;
    if (!temporary_.empty() && ::fsync(fd_) != 0)
        return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (closeRetrying(fd) != 0)
        return fail(errno);
    if (temporary_.empty())
        return true;
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        return fail(errno);
    temporary_.clear();
    return true;
}
