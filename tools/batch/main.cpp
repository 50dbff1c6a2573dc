#include "BatchProgram.h"
#include "LiveStatus.h"

#include <QCoreApplication>

#include <unistd.h>

#include <csignal>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    // Arguments are taken as the raw bytes the shell passed: file names need not be UTF-8.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    QCoreApplication application(argc, argv);
    // The live status line is for a person watching; a script reading standard output never
    // sees it.
    std::optional<std::size_t> terminalWidth;
    if (::isatty(STDOUT_FILENO))
        terminalWidth = clipforge::LiveStatus::terminalWidth(STDOUT_FILENO);
    // A reader that went away (`convert ... | head`) shows as a failed write, which ends the run
    // cleanly; the signal would end the program on the spot.
    ::signal(SIGPIPE, SIG_IGN);
    clipforge::BatchProgram program(std::cout, std::cerr, terminalWidth);
    const int code = program.run(arguments);
    if (program.endingSignal() == SIGINT) {
        // Cleared up; now end as Ctrl-C ends a program, so a calling shell's loop stops too.
        std::cout.flush();
        std::cerr.flush();
        ::signal(SIGINT, SIG_DFL);
        ::raise(SIGINT);
    }
    return code;
}
