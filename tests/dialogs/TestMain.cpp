#include "app/Application.h"
#include "support/ScopedConfigFolder.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    clipforge::Application application(argc, argv);
    // Whatever a test's dialogs remember goes to a folder of the run's own.
    clipforge::test::ScopedConfigFolder configuration;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
