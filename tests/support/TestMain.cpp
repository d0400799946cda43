// The main of every GoogleTest program: the tests run inside the program's own sandbox folder.
#include "TestSandbox.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    EnterTestSandbox(argv[0]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
