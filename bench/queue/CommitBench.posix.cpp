// The cost of committing an output: flushing it to the disk, giving it its name by a step that
// replaces nothing, flushing the folder. Measured for a 1 GB output against the anchor of
// writing those bytes, and for small outputs (a job's cost per output) against writing them.
// Usage: queue_commit_bench [FOLDER ON THE DISK TO MEASURE] (default: the working folder)
#include "core/FileDescriptor.h"
#include "engine/PrivateOutputFolder.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Writes size bytes to a new file at path, in 1 MB blocks, without flushing.
void writeFile(const std::string& path, std::size_t size)
{
    static const std::vector<char> block(1 << 20, 'x');
    clipforge::FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    for (std::size_t done = 0; done < size; done += block.size()) {
        if (::write(fd.get(), block.data(), std::min(block.size(), size - done)) < 0) {
            std::perror(path.c_str());
            std::exit(1);
        }
    }
}

struct Timing {
    double write = 0;
    double commit = 0;
};

Timing measure(const std::string& folder, std::size_t size, int index)
{
    Timing timing;
    const std::string name = folder + "output" + std::to_string(index) + ".bin";
    clipforge::PrivateOutputFolder privateFolder(folder);
    auto start = Clock::now();
    writeFile(privateFolder.writingPath(name), size);
    timing.write = secondsSince(start);
    start = Clock::now();
    privateFolder.commit(name, [] { return std::string("unused"); });
    timing.commit = secondsSince(start);
    ::unlink(name.c_str());
    return timing;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string folder = std::string(argc > 1 ? argv[1] : ".") + "/commit-bench-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    folder += "/";
    ::sync();
    const Timing large = measure(folder, std::size_t(1) << 30, 0);
    std::printf("commit: a 1 GB output written in %.3f s, committed (flush, no-replace rename, folder flush) in %.3f s, "
                "ratio %.3f against writing it\n",
                large.write, large.commit, large.commit / large.write);
    constexpr int SmallOutputs = 30;
    Timing small;
    for (int index = 1; index <= SmallOutputs; ++index) {
        const Timing one = measure(folder, std::size_t(1) << 20, index);
        small.write += one.write;
        small.commit += one.commit;
    }
    std::printf("commit: a 1 MB output written in %.2f ms, committed in %.2f ms (mean of %d), "
                "ratio %.3f against writing it\n",
                small.write * 1000 / SmallOutputs, small.commit * 1000 / SmallOutputs, SmallOutputs, small.commit / small.write);
    ::rmdir(folder.c_str());
    return 0;
}
