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
//
// TEXT understands \n \r \t \0 \\ and \xHH.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const auto equals = argument.find('=');
        act(argument.substr(0, equals), equals == std::string::npos ? std::string() : argument.substr(equals + 1),
            argc, argv);
    }
    return 0;
}
