#include "support/ApplicationEnvironment.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    return clipforge::test::runTests<QCoreApplication>(argc, argv);
}
