#include "BatchProgram.h"
#include "LiveStatus.h"

#include <QCoreApplication>

#include <unistd.h>

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
    return clipforge::BatchProgram(std::cout, std::cerr, terminalWidth).run(arguments);
}
