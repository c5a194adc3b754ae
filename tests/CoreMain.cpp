// Test entry for suites that run an event loop without any window: a QCoreApplication only.

#include "EnvironmentLocale.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!GTEST_FLAG_GET(list_tests) && !UseEnvironmentLocale())
        return 1;
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
