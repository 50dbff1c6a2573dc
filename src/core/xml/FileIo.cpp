#include "core/xml/FileIo.h"

#include "core/Errors.h"
#include "core/FileDescriptor.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "core/xml/XmlOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <utility>

namespace clipforge {

namespace {

// Removes the temporary file unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    const std::string& path() const { return path_; }
    void release() { path_.clear(); }

private:
    std::string path_;
};

std::string resolveLink(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

// Creates a new file beside target with the permissions a plain create
// would give (umask applied by open).
FileDescriptor createTemporaryBeside(const std::string& target, std::string& temporaryPath)
{
    static std::atomic<unsigned> counter{0};
    // Only a shortened form of the name goes in, so that a target whose name is near the file
    // system's limit still gets a temporary file beside it.
    constexpr std::size_t longestNamePart = 200;
    const std::string stem = folderPart(target) + "." + fileNamePart(target).substr(0, longestNamePart) + ".tmp";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = stem + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        FileDescriptor fd(::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.valid() || errno != EEXIST)
            return fd;
    }
    return FileDescriptor(-1);
}

// The folder would not take a new file, though the file itself may still be writable.
bool folderRefused(int error)
{
    return error == EACCES || error == EPERM;
}

// Gives the new file the old one's owner, group and mode. False when the system does not allow
// it (only root may give a file away); the caller then writes in place instead, so that saving a
// list never takes it from its owner.
bool takeOverIdentity(int fd, const struct stat& existing)
{
    struct stat mine {};
    if (::fstat(fd, &mine) != 0)
        return false;
    if ((mine.st_uid != existing.st_uid || mine.st_gid != existing.st_gid) &&
        ::fchown(fd, existing.st_uid, existing.st_gid) != 0)
        return false;
    // After the owner: a change of owner may clear the set-id bits.
    return ::fchmod(fd, existing.st_mode & 07777) == 0;
}

bool writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// Rewrites the existing file itself: its owner, group, mode, every hard link to it and its
// place all stay. The new bytes are complete in memory before the file is touched, and they
// go over the old ones before the file is cut to length, so that a disk that fills up can only
// fail where the file grows.
void writeInPlace(const std::string& path, const std::string& target, const std::function<void(XmlOutput&)>& produce)
{
    std::string bytes;
    {
        XmlStringOutput output(bytes);
        produce(output);
        output.flush();
    }
    FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (!fd.valid())
        throw EFileError::cannotOpen(path, errno);
    if (!writeAll(fd.get(), bytes) || ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0 ||
        ::fsync(fd.get()) != 0 || !fd.close())
        throw EFileError::cannotCreate(path, errno);
}

}  // namespace

std::string readWholeFile(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        throw EFileError::cannotOpen(path, errno);
    struct stat info {};
    std::string bytes;
    if (::fstat(fd.get(), &info) == 0 && info.st_size > 0)
        bytes.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw EFileError::cannotOpen(path, errno);
        }
        if (got == 0)
            return bytes;
        bytes.append(buffer, static_cast<size_t>(got));
    }
}

void replaceFileContents(const std::string& path, std::string_view bytes)
{
    replaceFileContents(path, [bytes](XmlOutput& output) {
        output.write(bytes);
    });
}

void replaceFileContents(const std::string& path, const std::function<void(XmlOutput&)>& produce)
{
    const std::string target = resolveLink(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        // A device, a FIFO or a folder would be replaced by a regular file (or, written in
        // place, be fed a list): neither is what a user saving a list means.
        if (!S_ISREG(existing.st_mode))
            throw EFileError("Cannot open file \"" + path + "\". It is not a regular file");
        // Refuse a file we could not have written in place (read-only, a
        // folder), rather than silently replacing it. The write bits are read
        // too, because root may open any file for writing.
        FileDescriptor probe(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
        if (!probe.valid())
            throw EFileError::cannotOpen(path, errno);
        if (S_ISREG(existing.st_mode) && (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw EFileError::cannotOpen(path, EACCES);
    }
    // A file with several names keeps them all: rewritten in place, every name shows the new list.
    if (exists && existing.st_nlink > 1)
        return writeInPlace(path, target, produce);
    std::string temporaryPath;
    FileDescriptor fd = createTemporaryBeside(target, temporaryPath);
    if (!fd.valid()) {
        if (exists && folderRefused(errno))
            return writeInPlace(path, target, produce);
        throw EFileError::cannotCreate(path, errno);
    }
    TemporaryFile temporary(temporaryPath);
    if (exists && !takeOverIdentity(fd.get(), existing))
        return writeInPlace(path, target, produce);
    XmlFileOutput output(fd.get());
    produce(output);
    output.flush();
    if (!output.ok())
        throw EFileError::cannotCreate(path, output.error());
    // The new file must be on the disk before it takes the old one's place:
    // a crash after the rename must not leave an empty or partial list.
    if (::fsync(fd.get()) != 0 || !fd.close())
        throw EFileError::cannotCreate(path, errno);
    if (::rename(temporary.path().c_str(), target.c_str()) != 0)
        throw EFileError::cannotCreate(path, errno);
    temporary.release();
}

std::int64_t GetFileSize64(const QString& path)
{
    struct stat status {};
    if (::stat(narrow(path).c_str(), &status) != 0)
        throw ESystemError(errno);
    return static_cast<std::int64_t>(status.st_size);
}

}  // namespace clipforge
