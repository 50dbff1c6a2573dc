#include "app/Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    clipforge::Application application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
