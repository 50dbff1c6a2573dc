// Peak resident memory of clipforge-batch while its converter floods it with output, against
// the same program converting a job whose converter writes one short line.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr long long Gigabyte = 1000LL * 1000 * 1000;

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Runs program to its end; returns its peak resident memory in MB, or -1.
double peakMegabytes(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return -1;
    int status = 0;
    rusage usage {};
    // A run that failed measured nothing worth reporting.
    if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A program folder of its own: clipforge-batch, a one-profile catalogue, and bin/ffmpeg, a
// script that runs the fake converter with the given actions and then writes its output.
class Folder {
public:
    Folder()
    {
        char pattern[] = "/tmp/clipforge-memory-XXXXXX";
        path_ = ::mkdtemp(pattern) ? pattern : "";
        ::mkdir((path_ + "/bin").c_str(), 0755);
        ::mkdir((path_ + "/convert").c_str(), 0755);
        writeFile(path_ + "/command",
                  "<commands><profile><format>Fake</format><params>-n</params><ext>out</ext></profile></commands>");
        writeFile(path_ + "/source.avi", "source");
        const std::string copy = "cp '" CLIPFORGE_BATCH_EXECUTABLE "' '" + path_ + "/clipforge-batch'";
        if (std::system(copy.c_str()) != 0)
            path_.clear();
    }
    ~Folder()
    {
        if (!path_.empty())
            std::system(("rm -rf '" + path_ + "'").c_str());
    }
    bool valid() const { return !path_.empty(); }

    double convertWith(const std::string& actions)
    {
        writeFile(path_ + "/bin/ffmpeg", "#!/bin/sh\nfor output; do :; done\n'" CLIPFORGE_FAKE_CONVERTER "' " + actions +
                                             "\nprintf converted > \"$output\"\n");
        ::chmod((path_ + "/bin/ffmpeg").c_str(), 0755);
        std::system(("rm -f '" + path_ + "'/convert/*").c_str());
        const std::string list = path_ + "/q.kxl";
        const std::string batch = path_ + "/clipforge-batch";
        if (peakMegabytes({batch, "make", list, "--profile", "0", path_ + "/source.avi"}) < 0)
            return -1;
        return peakMegabytes({batch, "convert", list});
    }

private:
    std::string path_;
};

}  // namespace

int main()
{
    Folder folder;
    if (!folder.valid()) {
        std::fprintf(stderr, "batch_memory_bench: cannot make a program folder\n");
        return 1;
    }
    const double anchor = folder.convertWith("out=done\\\\n");
    const auto start = std::chrono::steady_clock::now();
    const double noLineEnds = folder.convertWith("blob=" + std::to_string(Gigabyte));
    const auto middle = std::chrono::steady_clock::now();
    const double shortLines = folder.convertWith("flood=" + std::to_string(Gigabyte / 100) + ",100");
    const auto end = std::chrono::steady_clock::now();
    std::printf("(1 GB without line ends took %.1f s, 1 GB in lines %.1f s)\n",
                std::chrono::duration<double>(middle - start).count(), std::chrono::duration<double>(end - middle).count());
    std::printf("clipforge-batch peak memory, converter writing one line:       %7.1f MB (anchor)\n", anchor);
    std::printf("clipforge-batch peak memory, 1 GB without line ends:           %7.1f MB (%.2fx anchor; goal < 100 MB)\n",
                noLineEnds, noLineEnds / anchor);
    std::printf("clipforge-batch peak memory, 1 GB in 100-byte lines:           %7.1f MB (%.2fx anchor; goal < 100 MB)\n",
                shortLines, shortLines / anchor);
    return noLineEnds > 0 && shortLines > 0 ? 0 : 1;
}
