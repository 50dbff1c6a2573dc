#include "app/Application.h"
#include "support/ApplicationEnvironment.h"

int main(int argc, char** argv)
{
    return clipforge::test::runTests<clipforge::Application>(argc, argv);
}
