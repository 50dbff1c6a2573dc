#include "engine/PrivateOutputFolder.h"

#include "core/Errors.h"
#include "core/LeftoverCleaner.h"
#include "core/Paths.h"
#include "core/UnfinishedNames.h"
#include "core/NoReplaceCommit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace clipforge {
namespace {

// A cleaner may take a folder for a leftover in the moment before its lock exists; a few more
// tries are plenty, as that takes another process clearing the same folder at the same time.
constexpr int MakeAttempts = 20;
// Each taken name is one that appeared during this very commit.
constexpr int CommitAttempts = 1000;

std::string systemText(int error) { return std::strerror(error); }

Error cannotMake(const std::string& folder, int error)
{
    return Error("no private folder for the output could be made in \"" + (folder.empty() ? "." : folder) +
                 "\": " + systemText(error));
}

bool flushFile(const std::string& path)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return file.valid() && ::fsync(file.get()) == 0;
}

}  // namespace

PrivateOutputFolder::PrivateOutputFolder(const std::string& outputFolder) : outputFolder_(outputFolder)
{
    parent_ = FileDescriptor(::open(outputFolder.empty() ? "." : outputFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent_.valid())
        throw cannotMake(outputFolder, errno);
    for (int attempt = 0; attempt < MakeAttempts; ++attempt) {
        std::string pattern = outputFolder + privateFolderTemplate();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw cannotMake(outputFolder, errno);
        lock_ = WriterLock::create(pattern + "/" + privateFolderLockName);
        if (!lock_.held()) {
            const int error = errno;
            ::rmdir(pattern.c_str());
            if (error != ENOENT && error != EWOULDBLOCK)
                throw cannotMake(outputFolder, error);
            continue;
        }
        folder_ = FileDescriptor(::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        name_ = fileNamePart(pattern);
        path_ = pattern + "/";
        return;
    }
    throw cannotMake(outputFolder, EEXIST);
}

PrivateOutputFolder::~PrivateOutputFolder()
{
    if (folder_.valid())
        removePrivateFolder(parent_.get(), name_, folder_.get());
    lock_.release();
}

std::string PrivateOutputFolder::writingPath(const std::string& chosen) const { return path_ + fileNamePart(chosen); }

std::string PrivateOutputFolder::commit(const std::string& chosen, const std::function<std::string()>& nextName)
{
    const std::string written = writingPath(chosen);
    if (!flushFile(written))
        throw Error("the output could not be flushed to the disk: " + systemText(errno));
    std::string target = chosen;
    for (int attempt = 0; attempt < CommitAttempts; ++attempt) {
        const CommitOutcome outcome = commitWithoutReplacing(written, target);
        if (outcome.result == CommitResult::Committed) {
            ::fsync(parent_.get());
            return target;
        }
        if (outcome.result == CommitResult::Failed)
            throw Error("the output could not be given its name \"" + target +
                        "\" without risk of replacing a file there: " + systemText(outcome.error));
        target = nextName();
    }
    throw Error("every output name tried was taken while the output was being given one");
}

std::string PrivateOutputFolder::subfolder(const std::string& name) const
{
    if (::mkdirat(folder_.get(), name.c_str(), 0700) != 0 && errno != EEXIST)
        throw Error("no folder for the job's parts could be made in \"" + path_ + "\": " + systemText(errno));
    return path_ + name + "/";
}

}  // namespace clipforge
