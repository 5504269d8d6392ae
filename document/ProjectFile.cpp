#include "document/ProjectFile.h"

#include "document/ProjectFormat.h"
#include "document/SafeFileWriter.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace projectformat {
namespace {

// The project's folder as an absolute path; a relative one is taken from the current
// folder.
fs::path baseFolder(const std::string& folder)
{
    std::error_code failed;
    const fs::path absolute = fs::absolute(folder.empty() ? fs::path(".") : fs::path(folder), failed);
    return (failed ? fs::path(folder) : absolute).lexically_normal();
}

} // namespace

std::string pictureAsRead(const std::string& written, const std::string& folder)
{
    if (written.empty())
        return {};
    const fs::path picture(written);
    if (picture.is_absolute())
        return picture.lexically_normal().string();
    return (baseFolder(folder) / picture).lexically_normal().string();
}

std::string pictureAsWritten(const std::string& picture, const std::string& folder, bool alwaysAbsolute)
{
    if (picture.empty())
        return {};
    const fs::path path(picture);
    std::error_code failed;
    const fs::path absolute = path.is_absolute() ? path : fs::absolute(path, failed);
    if (failed)
        return picture;
    const fs::path normal = absolute.lexically_normal();
    const fs::path relative = alwaysAbsolute ? fs::path() : normal.lexically_relative(baseFolder(folder));
    if (!relative.empty() && relative != "." && *relative.begin() != "..")
        return relative.string();
    return path.is_absolute() ? picture : normal.string();
}

} // namespace projectformat

namespace {

const char* const outOfMemory = "there is not enough memory to open the project";

std::string systemReason(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
        return "the file does not exist";
    case EACCES:
        return "permission to read it is denied";
    case EISDIR:
        return "it is a folder, not a project file";
    default:
        return std::strerror(errorNumber);
    }
}

std::string sizeInMiB(std::uintmax_t bytes)
{
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MiB";
}

std::string tooLarge(std::uintmax_t bytes)
{
    return "the file is " + sizeInMiB(bytes) + "; Plotmeter opens project files of up to " +
           sizeInMiB(maxProjectFileBytes);
}

bool readWhole(const std::string& path, std::string& text, std::string& problem)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        problem = systemReason(errno);
        return false;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        problem = systemReason(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        problem = systemReason(EISDIR);
        return false;
    }
    if (S_ISREG(info.st_mode)) {
        const auto size = static_cast<std::uintmax_t>(info.st_size);
        if (size > maxProjectFileBytes) {
            problem = tooLarge(size);
            return false;
        }
        text.reserve(static_cast<std::size_t>(size));
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            problem = systemReason(errno);
            return false;
        }
        if (got == 0)
            return true;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > maxProjectFileBytes) {
            problem = tooLarge(text.size());
            return false;
        }
    }
}

} // namespace

ProjectReading parseProject(std::string_view text, const std::string& folder)
{
    try {
        return projectformat::readText(text, folder);
    } catch (const std::bad_alloc&) {
        return {std::nullopt, outOfMemory};
    } catch (const std::exception& problem) {
        return {std::nullopt, std::string("the file could not be read: ") + problem.what()};
    }
}

std::string projectText(const Document& document, const std::string& folder)
{
    try {
        std::string problem;
        return projectformat::writeText(document, folder, problem);
    } catch (const std::exception&) {
        return {};
    }
}

ProjectReading readProjectFile(const std::string& path)
{
    try {
        std::string text;
        std::string problem;
        if (!readWhole(path, text, problem))
            return {std::nullopt, path + ": " + problem};
        ProjectReading reading = parseProject(text, fs::path(path).parent_path().string());
        if (!reading.document)
            reading.error = path + ": " + reading.error;
        return reading;
    } catch (const std::bad_alloc&) {
        return {std::nullopt, path + ": " + outOfMemory};
    } catch (const std::exception& problem) {
        return {std::nullopt, path + ": " + problem.what()};
    }
}

bool writeProjectFile(const Document& document, const std::string& path, std::string& error, PicturePath picture)
{
    try {
        std::string problem;
        const std::string text = projectformat::writeText(document, fs::path(path).parent_path().string(), problem,
                                                          picture == PicturePath::absolute);
        if (!problem.empty()) {
            error = path + ": " + problem;
            return false;
        }
        SafeFileWriter file;
        if (!file.open(path) || !file.write(text) || !file.commit()) {
            error = path + ": " + file.error();
            return false;
        }
        error.clear();
        return true;
    } catch (const std::bad_alloc&) {
        error = path + ": there is not enough memory to save the project";
    } catch (const std::exception& problem) {
        error = path + ": " + problem.what();
    }
    return false;
}