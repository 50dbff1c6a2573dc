// A stand-in for the converter, for tests and benchmarks. Every argument is
// one action, carried out in order; after the last one it exits with code 0.
//
//   out=TEXT        write TEXT to standard output in one write
//   err=TEXT        write TEXT to standard error in one write
//   chunk=TEXT      write TEXT to standard output, then wait until the reader
//                   has taken all of it, so that it arrives as one read
//   sleep=MS        pause MS milliseconds
//   exit=CODE       exit at once with CODE
//   hang            sleep until killed
//   ignore-term     ignore SIGTERM (and SIGINT, SIGHUP) from here on
//   flood=N,W       write N numbered lines of W bytes each, newline included:
//                   "%08d " then 'x' filler then "\n", in large writes
//   status=N        write a "Duration:" line, then N status lines as the real
//                   converter redraws them ("frame=... time=... speed=...",
//                   each ended by a CR), in large writes
//   blob=N          write N bytes of 'x' with no line end, in large writes
//   stdin           read standard input to its end, then print
//                   "stdin: N bytes, then end of file\n"
//   crash=SIG       die by signal SIG
//   echo=N          read N lines from standard input and write each back
//                   as "echo:" + line
//   grandchild      start a child of its own that sleeps until killed and
//                   print "grandchild PID\n"
//   escapee         start a process that leaves: it calls setsid and forks
//                   again, so it is in no group of ours and its parent is
//                   gone; it sleeps until killed; print "escapee PID\n"
//   report          print "pgid=P pdeathsig=S fds=F nice=N\n": P is 1 when the
//                   process leads its own process group, S the parent-death
//                   signal, F the number of open descriptors above 2, N the
//                   nice value
//   args            print every argument given, one per line, as "[arg]",
//                   and exit with 0 (the rest are arguments, not actions)
//   pid             print "pid PID\n"
//   write=PATH      create or truncate PATH and print "write PATH: ok\n", or the
//                   reason it could not, "write PATH: " + the system's words
//   cwd             print "cwd FOLDER\n", the folder it runs in
//
// TEXT understands \n \r \t \0 \\ and \xHH.
//
// Installed as a program folder's bin/ffmpeg it is called like the converter,
// "-i SOURCE PARAMS... OUTPUT", and plays one of the converter's ways to end,
// named by the file "ffmpeg.mode" beside it or else by a word in the source's
// file name (the first of these that appears):
//
//   fail       writes part of the output and exits with 3
//   hang       writes part of the output, writes its process id to SOURCE.pid
//              and sleeps until killed
//   flee       like hang, after starting a helper that leaves its process group
//              (setsid), writes its process id to SOURCE.helper and sleeps until
//              killed
//   stuck      sleeps until killed, touching nothing
//   missing    names its source as missing and exits with 1
//   nocodec    says "no such codec" on standard error and exits with 1
//   nooutput   exits with 0 and writes nothing
//   empty      exits with 0 after an empty output
//   diskfull   exits with 0 after an error writing the output's trailer
//   planted    has someone else take its output's real name ("not ours"),
//              then says the output exists and exits with 1
//   squat      writes "planted" under the output's real name, then runs the
//              system's converter with the same arguments
//   move       the same, but the planted file is moved onto the name
//   early      runs the system's converter on its source's first second only,
//              exiting 0 as if it had converted it all
//   paced      runs the system's converter reading its source at the
//              source's own pace (-re), so a job lasts as long as its clip
//   wait       touches REAL.running, then waits for SOURCE.go, OUTPUT.go or
//              REAL.go
//   half       reports a 10-second source converted to its middle, then waits
//              like wait
//   escape     first writes "escaped" to SOURCE.escaped, beside its source; when
//              that is refused it says why and exits with 1
//   copysource writes the source's bytes, as it reads them then, as the output
//
// OUTPUT is the file the converter is given, inside the job's private folder;
// REAL is the output's real name, in the folder above it.
// With none of these (a mode file naming none always does this) it writes
// "converted" to the output and exits with 0.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string unescape(const std::string& text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            bytes += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'n')
            bytes += '\n';
        else if (c == 'r')
            bytes += '\r';
        else if (c == 't')
            bytes += '\t';
        else if (c == '0')
            bytes += '\0';
        else if (c == 'x' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 && hexDigit(text[i + 2]) >= 0) {
            bytes += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else
            bytes += c;
    }
    return bytes;
}

void writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            std::_Exit(120);
        done += static_cast<std::size_t>(count);
    }
}

void sleepMs(long ms) { ::usleep(static_cast<useconds_t>(ms) * 1000); }

void waitUntilRead()
{
    int waiting = 1;
    while (::ioctl(1, FIONREAD, &waiting) == 0 && waiting > 0)
        sleepMs(1);
}

// Fast enough that a reader, not this writer, sets the pace.
void flood(const std::string& spec)
{
    const long lines = std::atol(spec.c_str());
    const auto comma = spec.find(',');
    const long width = std::max(10L, comma == std::string::npos ? 80 : std::atol(spec.c_str() + comma + 1));
    const auto lineWidth = static_cast<std::size_t>(width);
    const std::size_t perBlock = std::max<std::size_t>(1, 65536 / lineWidth);
    std::string line(lineWidth, 'x');
    line[8] = ' ';
    line.back() = '\n';
    std::string block;
    block.reserve(perBlock * lineWidth);
    for (long i = 0; i < lines; ++i) {
        long number = i;
        for (int digit = 7; digit >= 0; --digit, number /= 10)
            line[static_cast<std::size_t>(digit)] = static_cast<char>('0' + number % 10);
        block += line;
        if (block.size() + lineWidth > perBlock * lineWidth) {
            writeAll(1, block);
            block.clear();
        }
    }
    writeAll(1, block);
}

void statusLines(long count)
{
    writeAll(1, "  Duration: 99:00:00.00, start: 0.000000, bitrate: 450 kb/s\n");
    std::string block;
    char line[160];
    for (long i = 0; i < count; ++i) {
        const long hundredths = i * 4;
        const int size = std::snprintf(line, sizeof line,
                                       "frame=%6ld fps= 25 q=28.0 size=%8ldkB time=%02ld:%02ld:%02ld.%02ld "
                                       "bitrate= 852.3kbits/s speed=2.51x    \r",
                                       i, i / 4, hundredths / 360000, hundredths / 6000 % 60, hundredths / 100 % 60,
                                       hundredths % 100);
        block.append(line, static_cast<std::size_t>(size));
        if (block.size() > 65000) {
            writeAll(1, block);
            block.clear();
        }
    }
    writeAll(1, block);
}

void blob(long long bytes)
{
    const std::string block(1 << 20, 'x');
    for (; bytes > 0; bytes -= static_cast<long long>(block.size()))
        writeAll(1, bytes >= static_cast<long long>(block.size()) ? block : block.substr(0, static_cast<std::size_t>(bytes)));
}

void readInputToItsEnd()
{
    char buffer[4096];
    long total = 0;
    ssize_t count;
    while ((count = ::read(0, buffer, sizeof buffer)) != 0) {
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            std::_Exit(123);
        total += count;
    }
    writeAll(1, "stdin: " + std::to_string(total) + " bytes, then end of file\n");
}

void echo(long count)
{
    std::string line;
    char c;
    while (count > 0 && ::read(0, &c, 1) == 1) {
        line += c;
        if (c == '\n') {
            writeAll(1, "echo:" + line);
            line.clear();
            --count;
        }
    }
}

int countDescriptorsAbove2()
{
    DIR* folder = ::opendir("/proc/self/fd");
    if (!folder)
        return -1;
    int count = 0;
    while (const dirent* entry = ::readdir(folder))
        if (entry->d_name[0] != '.' && std::atoi(entry->d_name) > 2 && std::atoi(entry->d_name) != ::dirfd(folder))
            ++count;
    ::closedir(folder);
    return count;
}

void report()
{
    int deathSignal = 0;
    ::prctl(PR_GET_PDEATHSIG, &deathSignal);
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, 0);
    char text[128];
    std::snprintf(text, sizeof text, "pgid=%d pdeathsig=%d fds=%d nice=%d\n", ::getpgrp() == ::getpid() ? 1 : 0,
                  deathSignal, countDescriptorsAbove2(), nice);
    writeAll(1, text);
}

void grandchild()
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        for (;;)
            ::pause();
    }
    writeAll(1, "grandchild " + std::to_string(pid) + "\n");
}

void escapee()
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        std::_Exit(123);
    const pid_t middle = ::fork();
    if (middle == 0) {
        ::setsid();
        const pid_t leaver = ::fork();
        if (leaver == 0)
            for (;;)
                ::pause();
        [[maybe_unused]] const ssize_t written = ::write(pipe[1], &leaver, sizeof leaver);
        std::_Exit(0);
    }
    pid_t leaver = -1;
    [[maybe_unused]] const ssize_t count = ::read(pipe[0], &leaver, sizeof leaver);
    ::waitpid(middle, nullptr, 0);
    ::close(pipe[0]);
    ::close(pipe[1]);
    writeAll(1, "escapee " + std::to_string(leaver) + "\n");
}

void crash(int signal)
{
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(121);
}

// "ok", or why path could not be written.
std::string tryToWrite(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return std::strerror(errno);
    const bool written = ::write(fd, "escaped", 7) == 7;
    ::close(fd);
    return written ? "ok" : std::strerror(errno);
}

std::string workingFolder()
{
    char folder[4096] = {};
    return ::getcwd(folder, sizeof folder) ? folder : std::strerror(errno);
}

void act(const std::string& name, const std::string& value, int argc, char** argv)
{
    if (name == "out")
        writeAll(1, unescape(value));
    else if (name == "err")
        writeAll(2, unescape(value));
    else if (name == "chunk") {
        writeAll(1, unescape(value));
        waitUntilRead();
    } else if (name == "sleep")
        sleepMs(std::atol(value.c_str()));
    else if (name == "exit")
        std::exit(std::atoi(value.c_str()));
    else if (name == "hang")
        for (;;)
            ::pause();
    else if (name == "ignore-term") {
        std::signal(SIGTERM, SIG_IGN);
        std::signal(SIGINT, SIG_IGN);
        std::signal(SIGHUP, SIG_IGN);
    } else if (name == "flood")
        flood(value);
    else if (name == "status")
        statusLines(std::atol(value.c_str()));
    else if (name == "blob")
        blob(std::atoll(value.c_str()));
    else if (name == "stdin")
        readInputToItsEnd();
    else if (name == "crash")
        crash(std::atoi(value.c_str()));
    else if (name == "echo")
        echo(std::atol(value.c_str()));
    else if (name == "grandchild")
        grandchild();
    else if (name == "escapee")
        escapee();
    else if (name == "report")
        report();
    else if (name == "pid")
        writeAll(1, "pid " + std::to_string(::getpid()) + "\n");
    else if (name == "write")
        writeAll(1, "write " + value + ": " + tryToWrite(value) + "\n");
    else if (name == "cwd")
        writeAll(1, "cwd " + workingFolder() + "\n");
    else if (name == "args")
    {
        for (int i = 1; i < argc; ++i)
            writeAll(1, std::string("[") + argv[i] + "]\n");
        std::exit(0);
    }
    else {
        writeAll(2, "fake_converter: unknown action " + name + "\n");
        std::exit(122);
    }
}

std::string fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

bool present(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

void startLeaver(const std::string& pidFile)
{
    if (::fork() != 0)
        return;
    ::setsid();
    const int nothing = ::open("/dev/null", O_RDWR);
    for (int fd = 0; fd <= 2; ++fd)
        ::dup2(nothing, fd);
    writeFile(pidFile, std::to_string(::getpid()) + "\n");
    for (;;)
        ::pause();
}

std::string behaviourFor(const std::string& self, const std::string& source)
{
    const std::string mode = fileText(self + ".mode");
    const std::string named = mode.empty() ? source.substr(source.rfind('/') + 1) : mode;
    for (const char* word : {"fail", "hang", "flee", "stuck", "missing", "nocodec", "nooutput", "empty", "diskfull",
                             "planted", "squat", "move", "paced", "early", "wait", "half", "escape", "copysource"})
        if (named.find(word) != std::string::npos)
            return word;
    return {};
}

// The output's real name: the converter writes in a private folder of the job's inside the
// output folder.
std::string realName(const std::string& output)
{
    const auto slash = output.rfind('/');
    if (slash == std::string::npos)
        return output;
    const std::string folder = output.substr(0, slash);
    const auto parentSlash = folder.rfind('/');
    const std::string folderName = folder.substr(parentSlash == std::string::npos ? 0 : parentSlash + 1);
    if (folderName.rfind(".clipforge-partial.", 0) != 0)
        return output;
    return (parentSlash == std::string::npos ? std::string() : folder.substr(0, parentSlash + 1)) + output.substr(slash + 1);
}

void waitForGo(const std::string& source, const std::string& output)
{
    while (!present(source + ".go") && !present(output + ".go") && !present(realName(output) + ".go"))
        sleepMs(20);
}

// before: input options put ahead of the job's own arguments.
int runSystemConverter(int argc, char** argv, std::vector<const char*> before)
{
    std::vector<char*> arguments{const_cast<char*>("ffmpeg")};
    for (const char* argument : before)
        arguments.push_back(const_cast<char*>(argument));
    arguments.insert(arguments.end(), argv + 1, argv + argc);
    arguments.push_back(nullptr);
    ::execvp("ffmpeg", arguments.data());
    return 127;
}

int convert(int argc, char** argv)
{
    std::string source;
    for (int i = 1; i + 1 < argc && source.empty(); ++i)
        if (std::string(argv[i]) == "-i")
            source = argv[i + 1];
    const std::string output = argv[argc - 1];
    const std::string behaviour = behaviourFor(argv[0], source);
    const bool hangs = behaviour == "hang" || behaviour == "flee";
    if (behaviour == "escape") {
        if (const std::string written = tryToWrite(source + ".escaped"); written != "ok") {
            writeAll(2, source + ".escaped: " + written + "\n");
            return 1;
        }
    }
    if (behaviour == "fail" || hangs)
        writeFile(output, "part");
    if (behaviour == "fail")
        return 3;
    if (behaviour == "flee")
        startLeaver(source + ".helper");
    if (hangs)
        writeFile(source + ".pid", std::to_string(::getpid()) + "\n");
    if (hangs || behaviour == "stuck")
        for (;;)
            ::pause();
    if (behaviour == "missing") {
        writeAll(1, source + ": No such file or directory\nConversion failed!\n");
        return 1;
    }
    if (behaviour == "nocodec") {
        writeAll(2, "no such codec\n");
        return 1;
    }
    if (behaviour == "nooutput")
        return 0;
    if (behaviour == "copysource") {
        writeFile(output, fileText(source));
        return 0;
    }
    if (behaviour == "empty") {
        writeFile(output, "");
        return 0;
    }
    if (behaviour == "diskfull") {
        writeFile(output, "pa");
        writeAll(1, "Error writing trailer of " + output + ": No space left on device\n");
        return 0;
    }
    if (behaviour == "planted") {
        writeFile(realName(output), "not ours");
        writeAll(1, "File '" + output + "' already exists. Exiting.\n");
        return 1;
    }
    if (behaviour == "squat")
        writeFile(realName(output), "planted");
    if (behaviour == "move") {
        writeFile(realName(output) + ".new", "planted");
        ::rename((realName(output) + ".new").c_str(), realName(output).c_str());
    }
    if (behaviour == "squat" || behaviour == "move")
        return runSystemConverter(argc, argv, {});
    if (behaviour == "paced")
        return runSystemConverter(argc, argv, {"-re"});
    if (behaviour == "early")
        return runSystemConverter(argc, argv, {"-t", "1"});
    if (behaviour == "wait")
        writeFile(realName(output) + ".running", "");
    if (behaviour == "half")
        writeAll(2, "  Duration: 00:00:10.00, start: 0.000000, bitrate: 1 kb/s\n"
                    "size=1kB time=00:00:05.00 bitrate=1.0kbits/s speed=2.5x    \r");
    if (behaviour == "wait" || behaviour == "half")
        waitForGo(source, output);
    writeFile(output, "converted");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // Actions never start with a dash; the converter's arguments do.
    if (argc > 1 && argv[1][0] == '-')
        return convert(argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const auto equals = argument.find('=');
        act(argument.substr(0, equals), equals == std::string::npos ? std::string() : argument.substr(equals + 1),
            argc, argv);
    }
    return 0;
}
