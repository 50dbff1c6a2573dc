#include "support/ApplicationEnvironment.h"

#include <QApplication>

int main(int argc, char** argv)
{
    return clipforge::test::runTests<QApplication>(argc, argv);
}
