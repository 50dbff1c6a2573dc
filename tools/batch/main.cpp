#include "BatchProgram.h"

#include <QCoreApplication>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    // Arguments are taken as the raw bytes the shell passed: file names need not be UTF-8.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    QCoreApplication application(argc, argv);
    return clipforge::BatchProgram(std::cout, std::cerr).run(arguments);
}
