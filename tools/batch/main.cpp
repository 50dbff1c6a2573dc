#include "BatchProgram.h"
#include "OutputTerminal.h"

#include "engine/ProcessSignals.h"

#include <QCoreApplication>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    // Arguments are taken as the raw bytes the shell passed: file names need not be UTF-8.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    QCoreApplication application(argc, argv);
    const std::optional<std::size_t> terminalWidth = clipforge::outputTerminalWidth();
    // A reader that went away (`convert ... | head`) ends the run cleanly, not the program at once.
    clipforge::ignoreVanishedReaders();
    clipforge::BatchProgram program(std::cout, std::cerr, terminalWidth);
    const int code = program.run(arguments);
    if (clipforge::isInterruptSignal(program.endingSignal())) {
        // Cleared up; now end as Ctrl-C ends a program.
        std::cout.flush();
        std::cerr.flush();
        clipforge::endAsInterrupted();
    }
    return code;
}
