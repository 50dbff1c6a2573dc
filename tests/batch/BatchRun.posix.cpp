#include "BatchRun.h"

#include "support/Processes.h"

#include "support/FakeConverter.h"
#include "support/Wait.h"

#include <QFile>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>


extern char** environ;

namespace clipforge::test {

ProgramFolder::ProgramFolder(const std::string& catalogue, std::optional<std::string> fakeConverterMode)
{
    writeFile(path("command"), catalogue);
    const bool converterReady = fakeConverterMode ? installFakeConverter(path(), *fakeConverterMode)
                                                  : installRealConverter(path());
    // The supervisor lies beside the program, as in the build's program folder.
    valid_ = converterReady && QFile::copy(CLIPFORGE_BATCH_EXECUTABLE, QString::fromStdString(path("clipforge-batch"))) &&
             ::chmod(path("clipforge-batch").c_str(), 0755) == 0 &&
             QFile::link(CLIPFORGE_SUPERVISOR_EXECUTABLE, QString::fromStdString(path("clipforge-supervisor"))) &&
             QFile::link(CLIPFORGE_PACKETS_EXECUTABLE, QString::fromStdString(path("clipforge-packets")));
}

std::string ProgramFolder::path(const std::string& name) const
{
    return folder_.path() + name;
}

BatchProcess::BatchProcess(const ProgramFolder& folder, const std::vector<std::string>& arguments,
                           const std::string& workingFolder)
    : BatchProcess(folder.path("clipforge-batch"), arguments, workingFolder)
{
}

BatchProcess::BatchProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workingFolder)
{
    std::vector<std::string> storage{program};
    storage.insert(storage.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string out = streams_.filePath("out").toStdString();
    const std::string err = streams_.filePath("err").toStdString();
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    if (posix_spawnp(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

BatchProcess::~BatchProcess()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void BatchProcess::signal(int number) const
{
    if (pid_ > 0)
        ::kill(pid_, number);
}

std::string BatchProcess::outSoFar() const
{
    return readFile(streams_.filePath("out").toStdString());
}

std::string BatchProcess::errSoFar() const
{
    return readFile(streams_.filePath("err").toStdString());
}

bool BatchProcess::ended() const
{
    return pid_ <= 0 || processGone(pid_);
}

BatchResult BatchProcess::wait()
{
    BatchResult result;
    if (pid_ <= 0)
        return result;
    int status = 0;
    if (!waitFor([&] { return ::waitpid(pid_, &status, WNOHANG) != 0; }, 180000)) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
    }
    pid_ = -1;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    result.out = readFile(streams_.filePath("out").toStdString());
    result.err = readFile(streams_.filePath("err").toStdString());
    if (const std::size_t at = result.err.find("clipforge-batch: the converter cannot be confined here");
        at != std::string::npos) {
        const std::size_t end = result.err.find('\n', at);
        const std::size_t length = end == std::string::npos ? std::string::npos : end + 1 - at;
        result.confinementNotice = result.err.substr(at, length);
        result.err.erase(at, length);
    }
    return result;
}

BatchResult runProgram(const std::string& program, const std::vector<std::string>& arguments)
{
    return BatchProcess(program, arguments).wait();
}

BatchResult runBatch(const ProgramFolder& folder, const std::vector<std::string>& arguments,
                     const std::string& workingFolder)
{
    return BatchProcess(folder, arguments, workingFolder).wait();
}

}  // namespace clipforge::test
