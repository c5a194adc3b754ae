// Test entry for suites that need a QApplication (offscreen platform).

#include "EnvironmentLocale.h"
#include "PlainTextBoxes.h"
#include "QtTranslation.h"

#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) // test discovery runs us without CTest's environment
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // QApplication takes the locale from the environment too, but falls back to C without a word.
    if (!GTEST_FLAG_GET(list_tests) && !UseEnvironmentLocale())
        return 1;
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    InstallQtTranslation(app); // as the program does
    InstallPlainTextMessageBoxes(app);
    return RUN_ALL_TESTS();
}
