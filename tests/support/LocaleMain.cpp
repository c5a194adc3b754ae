// Test entry for the suites without windows: the C library's locale from the environment.

#include "EnvironmentLocale.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests (CTest's discovery at build time) needs no locale.
    if (!GTEST_FLAG_GET(list_tests) && !UseEnvironmentLocale())
        return 1;
    return RUN_ALL_TESTS();
}
