#include "BoxWatcher.h"
#include "ProgramHarness.h"

#include <QImageReader>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct SettingsFolder {
    TempDir dir;
};

struct Printed : SettingsFolder, TestProgram {
    Printed() : TestProgram(dir.File("drganik.ini")) {}

    // Prints to a PDF whose page is 4960 device pixels wide, then renders it at the same resolution.
    QImage Print() {
        const QString pdf = QString::fromStdString(dir.File("page.pdf"));
        W2->AskPrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setResolution(576); // 620 points at 576 dpi: 4960 pixels
            printer.setPageSize(QPageSize(QSizeF(620, 877), QPageSize::Point));
            printer.setFullPage(true);
            return true;
        };
        Child<TSmoothFlatButton>(*W2, "SmoothFlatButton12").click();
        EXPECT_EQ(Printer.width(), 4960);
        const QString out = QString::fromStdString(dir.File("page"));
        QImageReader::setAllocationLimit(0); // a whole page at printer resolution
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-r"), QStringLiteral("576"), QStringLiteral("-gray"), pdf, out});
        return QImage(out + QStringLiteral("-1.pgm"));
    }
};

bool Dark(const QImage& img, int x, int y) {
    return qGray(img.pixel(x, y)) < 128;
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

TEST(Printing, CancelledDialogPrintsNothingAndTheTitleStays) {
    Printed p;
    p.state.acq.Running = true;
    p.W2->AskPrinter = [](QPrinter&) { return false; };
    Child<TSmoothFlatButton>(*p.W2, "SmoothFlatButton12").click();
    EXPECT_EQ(p.Printer.docName(), "") << "while acquiring the title is left as it was";
    p.state.acq.Running = false;
    Child<TSmoothFlatButton>(*p.W2, "SmoothFlatButton12").click();
    EXPECT_EQ(p.Printer.docName(), "Oscylograf");
}

TEST(Printing, APrinterThatCannotStartGivesAClearMessage) {
    Printed p;
    BoxWatcher watcher;
    p.W2->AskPrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(p.dir.File("no/such/folder/page.pdf")));
        return true;
    };
    Child<TSmoothFlatButton>(*p.W2, "SmoothFlatButton12").click();
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, "Drganik");
    EXPECT_EQ(watcher.seen[0].text, "Nie można rozpocząć wydruku: drukarka jest niedostępna.");
}
