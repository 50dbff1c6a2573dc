#include "core/xml/FileIo.h"

#include "core/Errors.h"
#include "core/FileDescriptor.h"
#include "core/LeftoverCleaner.h"
#include "core/Paths.h"
#include "core/UnfinishedNames.h"
#include "core/WriterLock.h"
#include "core/xml/XmlOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Creates a new file beside target, locked as a save in progress, with the permissions a plain
// create would give (umask applied by open).
WriterLock createTemporaryBeside(const std::string& target, std::string& temporaryPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = folderPart(target) + temporaryListName(fileNamePart(target));
        WriterLock file = WriterLock::create(temporaryPath, 0666);
        if (file.held() || (errno != EEXIST && errno != ENOENT && errno != EWOULDBLOCK))
            return file;
    }
    return {};
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

bool unsupported(int error) { return error == EOPNOTSUPP || error == ENOSYS; }

// Makes sure the disk holds room for bytes before the file is touched: its blocks are reserved,
// or, where the file system cannot reserve them, the bytes are written beside it first (to
// besideFd, emptied again afterwards). Throws when there is no room or no way to tell.
void makeRoom(const std::string& path, int fd, const std::string& bytes, int besideFd)
{
    if (bytes.empty() || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) == 0)
        return;
    if (!unsupported(errno) || besideFd < 0)
        throw EFileError::cannotCreate(path, errno);
    const bool fits = writeAll(besideFd, bytes);
    const int error = errno;
    ::ftruncate(besideFd, 0);
    if (!fits)
        throw EFileError::cannotCreate(path, error);
}

// Rewrites the existing file itself: its owner, group, mode, every hard link to it and its
// place all stay. The new bytes are complete in memory and the disk has room for them before
// the file is touched, so a full disk refuses before a byte changes. Only this way of saving
// can leave a mix of old and new when the program is killed half-way.
void writeInPlace(const std::string& path, const std::string& target, const std::function<void(XmlOutput&)>& produce,
                  int besideFd)
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
    makeRoom(path, fd.get(), bytes, besideFd);
    if (!writeAll(fd.get(), bytes) || ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0 ||
        ::fsync(fd.get()) != 0 || !fd.close())
        throw EFileError::cannotCreate(path, errno);
}

// The rename is on the disk once the folder is.
void flushFolder(const std::string& target)
{
    const std::string folder = folderPart(target);
    const FileDescriptor fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get());
}

std::string readAll(const FileDescriptor& fd, const std::string& path)
{
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

}  // namespace

std::string readWholeFile(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        throw EFileError::cannotOpen(path, errno);
    return readAll(fd, path);
}

std::string readRegularFile(const std::string& path)
{
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid())
        throw EFileError::cannotOpen(path, errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        throw EFileError::cannotOpen(path, errno);
    if (!S_ISREG(info.st_mode))
        throw EFileError("Cannot open file \"" + path + "\". It is not a regular file");
    return readAll(fd, path);
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
    clearLeftovers(folderPart(target));
    std::string temporaryPath;
    WriterLock file = createTemporaryBeside(target, temporaryPath);
    if (!file.held()) {
        if (exists && folderRefused(errno))
            return writeInPlace(path, target, produce, -1);
        throw EFileError::cannotCreate(path, errno);
    }
    TemporaryFile temporary(temporaryPath);
    if (exists && !takeOverIdentity(file.fd(), existing))
        return writeInPlace(path, target, produce, file.fd());
    XmlFileOutput output(file.fd());
    produce(output);
    output.flush();
    if (!output.ok())
        throw EFileError::cannotCreate(path, output.error());
    // The new file must be on the disk before it takes the old one's place:
    // a crash after the rename must not leave an empty or partial list.
    if (::fsync(file.fd()) != 0)
        throw EFileError::cannotCreate(path, errno);
    // Other hard links to the old file keep the old list: rewriting it instead would leave a mix
    // of both on every name, were the program killed half-way.
    if (::rename(temporary.path().c_str(), target.c_str()) != 0)
        throw EFileError::cannotCreate(path, errno);
    temporary.release();
    flushFolder(target);
}

}  // namespace clipforge
