#include "BatchRun.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace clipforge::test {

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

bool exists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool waitUntil(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool processAlive(pid_t pid)
{
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const auto state = stat.rfind(')');
    return state != std::string::npos && state + 2 < stat.size() && stat[state + 2] != 'Z';
}

ProgramFolder::ProgramFolder(const std::string& catalogue, const std::string& converterScript)
{
    const QDir folder(folder_.path());
    folder.mkpath("bin");
    folder.mkpath("convert");
    writeFile(path("command"), catalogue);
    bool converterReady = false;
    if (converterScript.empty()) {
        const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
        converterReady = !ffmpeg.isEmpty() && QFile::link(ffmpeg, folder.filePath("bin/ffmpeg"));
    } else {
        writeFile(path("bin/ffmpeg"), converterScript);
        converterReady = ::chmod(path("bin/ffmpeg").c_str(), 0755) == 0;
    }
    // The supervisor lies beside the program, as in the build's program folder.
    valid_ = converterReady && QFile::copy(CLIPFORGE_BATCH_EXECUTABLE, folder.filePath("clipforge-batch")) &&
             ::chmod(path("clipforge-batch").c_str(), 0755) == 0 &&
             QFile::link(CLIPFORGE_SUPERVISOR_EXECUTABLE, folder.filePath("clipforge-supervisor"));
}

std::string ProgramFolder::path(const std::string& name) const
{
    return folder_.path().toStdString() + "/" + name;
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
    return pid_ <= 0 || !processAlive(pid_);
}

BatchResult BatchProcess::wait()
{
    BatchResult result;
    if (pid_ <= 0)
        return result;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = -1;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readFile(streams_.filePath("out").toStdString());
    result.err = readFile(streams_.filePath("err").toStdString());
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
