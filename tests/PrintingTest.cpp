#include "BoxWatcher.h"
#include "ProgramHarness.h"
#include "Samples.h"

#include <QImageReader>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct SettingsFolder {
    TempDir dir;
};

struct Printed : SettingsFolder, TestProgram {
    Printed() : TestProgram(dir.File("drganik.ini")) {}

    // Prints to a PDF through the print job, with the printer as `setup` leaves it, and renders
    // the page at the printer's resolution.
    QImage Print(const std::function<void(QPrinter&)>& setup) {
        const QString pdf = QString::fromStdString(dir.File("page.pdf"));
        W2->AskPrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            setup(printer);
            return true;
        };
        W2->Press(TW2::ToolButton::Print);
        const QString out = QString::fromStdString(dir.File("page"));
        QImageReader::setAllocationLimit(0); // a whole page at printer resolution
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-r"), QString::number(Printer.resolution()),
                           QStringLiteral("-gray"), QStringLiteral("-aa"), QStringLiteral("no"),
                           QStringLiteral("-aaVector"), QStringLiteral("no"), pdf, out});
        return QImage(out + QStringLiteral("-1.pgm"));
    }
    // A page 4960 device pixels wide.
    QImage Print() {
        return Print([](QPrinter& printer) {
            printer.setResolution(576); // 620 points at 576 dpi: 4960 pixels
            printer.setPageSize(QPageSize(QSizeF(620, 877), QPageSize::Point));
            printer.setFullPage(true);
        });
    }
};

bool Dark(const QImage& img, int x, int y) {
    return qGray(img.pixel(x, y)) < 128;
}

// The bounding box of everything printed.
QRect Ink(const QImage& gray) {
    QRect box;
    for (int y = 0; y < gray.height(); ++y) {
        const uchar* line = gray.constScanLine(y);
        for (int x = 0; x < gray.width(); ++x)
            if (line[x] < 128)
                box |= QRect(x, y, 1, 1);
    }
    return box;
}

int FirstDarkRow(const QImage& img, int x0, int x1, int y0, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (Dark(img, x, y))
                return y;
    return -1;
}

} // namespace

TEST(Printing, PageGeometryFollowsThePrintScale) {
    Printed p;
    const QImage page = p.Print();
    ASSERT_FALSE(page.isNull()) << "pdftoppm did not render the page";
    EXPECT_EQ(p.Printer.width(), 4960);
    EXPECT_EQ(p.Printer.docName(), "Oscylograf");
    // PrintScale 9: the drawing spans x 30*9 .. 530*9; the empty buffer's flat trace lies on the bottom line.
    for (const int x : {300, 1000, 2000, 3000, 4700})
        EXPECT_TRUE(Dark(page, x, 2520)) << x;
    EXPECT_FALSE(Dark(page, 1000, 2500)) << "nothing above the flat trace inside the view";
    EXPECT_TRUE(Dark(page, 4770, 1000)) << "the last vertical grid line";
    EXPECT_FALSE(Dark(page, 4790, 1000)) << "nothing right of the drawing";
    // The frequency labels start 4320 pixels from the top: white above, ink below.
    EXPECT_EQ(FirstDarkRow(page, 4600, 4900, 4280, 4319), -1);
    const int ink = FirstDarkRow(page, 4600, 4900, 4320, 4420);
    EXPECT_GE(ink, 4320);
    EXPECT_LT(ink, 4420);
    // The flat spectrum lies on its baseline (470 * 9), drawn 3 pixels wide.
    EXPECT_TRUE(Dark(page, 2000, 4230));
}

TEST(Printing, TheWholeDrawingIsOnTheDefaultPageAtEveryResolution) {
    const struct {
        int dpi; // 0: the program's own choice
        QPageSize::PageSizeId paper;
        int scale; // the largest that fits
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
    } cases[] = {{300, QPageSize::A4, 4},
                 {0, QPageSize::A4, 8},
                 {1200, QPageSize::A4, 17},
                 {600, QPageSize::Letter, 9},
                 {300, QPageSize::A4, 4, QPageLayout::Landscape}}; // the height limits it, not the width
    for (const auto& c : cases) {
        Printed p;
        p.state.samples[250] = 369; // one spike in a flat trace
        const int peak = 280 - SampleToRow(369, Rounding::Nearest, 40);
        QRect printable;
        const QImage page = p.Print([&](QPrinter& printer) {
            if (c.dpi)
                printer.setResolution(c.dpi);
            if (c.paper != QPageSize::A4)
                printer.setPageSize(QPageSize(c.paper));
            printer.setPageOrientation(c.orientation);
            printable = printer.pageRect(QPrinter::DevicePixel).toRect();
        });
        ASSERT_FALSE(page.isNull()) << c.dpi;
        SCOPED_TRACE(testing::Message() << c.dpi << " dpi, page " << printable.width() << " by "
                                        << printable.height() << " pixels");
        EXPECT_EQ(p.Printer.resolution(), c.dpi ? c.dpi : 600);
        const QRect ink = Ink(page);
        EXPECT_TRUE(printable.contains(ink))
            << "ink from " << ink.left() << "," << ink.top() << " to " << ink.right() << "," << ink.bottom();
        const int s = c.scale;
        const auto at = [&](int x, int y) { return printable.topLeft() + QPoint(x, y); };
        const auto darkNear = [&](QPoint q) { // a 1-pixel line may fall on either neighbour
            return Dark(page, q.x() - 1, q.y()) || Dark(page, q.x(), q.y()) || Dark(page, q.x() + 1, q.y());
        };
        EXPECT_TRUE(darkNear(at(530 * s, 100 * s))) << "the last vertical grid line";
        EXPECT_TRUE(darkNear(at(505 * s, 100 * s)));
        EXPECT_FALSE(darkNear(at(518 * s, 100 * s)));
        // Sample 250 is printed in column 281, its peak on the row its value gives.
        EXPECT_TRUE(darkNear(at(281 * s, peak * s + 2))) << "the spike";
        EXPECT_FALSE(darkNear(at(281 * s, peak * s - 4))) << "nothing above the spike";
        EXPECT_FALSE(darkNear(at(280 * s - 3, peak * s + 2)) || darkNear(at(282 * s + 3, peak * s + 2)));
        // The right half of the last frequency label, "50kHz", right of the last grid line.
        const QPoint label = at(530 * s + 3 * s, 480 * s);
        EXPECT_NE(FirstDarkRow(page, label.x(), label.x() + 9 * s, label.y(), label.y() + 12 * s), -1)
            << "the last frequency label";
    }
}

TEST(Printing, CancelledDialogPrintsNothingAndTheTitleStays) {
    Printed p;
    p.state.acq.Running = true;
    p.W2->AskPrinter = [](QPrinter&) { return false; };
    p.W2->Press(TW2::ToolButton::Print);
    EXPECT_EQ(p.Printer.docName(), "") << "while acquiring the title is left as it was";
    p.state.acq.Running = false;
    p.W2->Press(TW2::ToolButton::Print);
    EXPECT_EQ(p.Printer.docName(), "Oscylograf");
}

TEST(Printing, ThePrintDialogIsPolish) {
    Printed p;
    QString title;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        dialog->close();
    });
    p.W2->Press(TW2::ToolButton::Print);
    EXPECT_EQ(title.toStdString(), "Drukowanie");
}

TEST(Printing, APrinterThatCannotStartGivesAClearMessage) {
    Printed p;
    BoxWatcher watcher;
    p.W2->AskPrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(p.dir.File("no/such/folder/page.pdf")));
        return true;
    };
    p.W2->Press(TW2::ToolButton::Print);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, "Drganik");
    EXPECT_EQ(watcher.seen[0].text, "Nie można rozpocząć wydruku: drukarka jest niedostępna.");
}
