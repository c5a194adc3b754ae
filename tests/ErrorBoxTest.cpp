#include "ErrorBox.h"

#include "BoxWatcher.h"

#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

TEST(ErrorBox, AnErrorInAHandlerIsShownAndEndsOnlyThatHandler) {
    ErrorBox errors(QStringLiteral("Drganik"));
    BoxWatcher watcher;
    const auto openPort = [](bool present) {
        if (!present)
            throw std::runtime_error("Specified device not found (/dev/ttyS0).");
    };
    int steps = 0;
    EXPECT_NO_THROW(errors.Run([&] {
        ++steps;
        openPort(false);
        ++steps;
    }));
    EXPECT_EQ(steps, 1) << "the handler ends at the error";
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, "Drganik");
    EXPECT_EQ(watcher.seen[0].text, "Specified device not found (/dev/ttyS0).");
    EXPECT_EQ(watcher.seen[0].icon, QMessageBox::Critical);

    // Guard passes signal arguments through.
    int got = 0;
    auto handler = errors.Guard([&](int v) { got = v; });
    handler(7);
    EXPECT_EQ(got, 7);
}

TEST(ErrorBox, OneBoxAtATimeWithTheNewestText) {
    ErrorBox errors(QStringLiteral("Drganik"));
    BoxWatcher watcher;
    watcher.HoldBoxes(true);
    int openWhileNested = 0;
    QString textWhileNested;
    // While the first box waits for the user, recovery cycles report the same error again,
    // then an unplugged adapter another one.
    QTimer::singleShot(50, [&] {
        errors.Show(QStringLiteral("port gone"));
        errors.Show(QStringLiteral("Error clearing buffers"));
        openWhileNested = errors.OpenBoxes();
        textWhileNested = errors.OpenText();
        watcher.HoldBoxes(false);
    });
    errors.Show(QStringLiteral("port gone"));
    EXPECT_EQ(openWhileNested, 1);
    EXPECT_EQ(textWhileNested, "Error clearing buffers");
    EXPECT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(errors.OpenBoxes(), 0);
    errors.Show(QStringLiteral("port gone")); // shown again once the first is closed
    EXPECT_EQ(watcher.seen.size(), 2u);
}
