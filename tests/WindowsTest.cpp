#include "BoxWatcher.h"
#include "Canvas.h"
#include "PaintCounter.h"
#include "ProgramHarness.h"
#include "RangeTables.h"
#include "Samples.h"
#include "TraceDrawing.h"

#include <QAction>
#include <QBackingStore>
#include <QProgressBar>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

struct SettingsFolder {
    TempDir dir;
};

// The program with no settings file: every default.
struct Windows : SettingsFolder, TestProgram {
    Windows() : TestProgram(dir.File("drganik.ini")) {}
    QRgb At(int x, int y) const { return W1->ClientImage().pixel(x, y) & 0xFFFFFF; }
    // The time view's background pixel, for comparing.
    QRgb Background(int x, int y) const { return W1->TimeBackgroundImage().pixel(x - 30, y - 30) & 0xFFFFFF; }
};

// The window against its picture `before` with a transparent overlay laid on `view` over that
// view's background: the number of pixels the overlay gave, or -1 after reporting the first
// pixel that differs.
int OverlaidPixels(Windows& p, const QImage& before, const QRect& view, const QImage& overlay,
                   const QImage& background) {
    int drawn = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x) {
            QRgb expected = before.pixel(x, y) & 0xFFFFFF;
            if (view.contains(x, y)) {
                const QPoint at = QPoint(x, y) - view.topLeft();
                const QRgb o = overlay.pixel(at) & 0xFFFFFF;
                drawn += o != (KeyColor & 0xFFFFFF);
                expected = o == (KeyColor & 0xFFFFFF) ? background.pixel(at) & 0xFFFFFF : o;
            }
            if (p.At(x, y) != expected) {
                ADD_FAILURE() << "at " << x << "," << y << ": " << p.At(x, y) << " instead of " << expected;
                return -1;
            }
        }
    return drawn;
}

// Column x of a view on the window against rows worked out in the test: the pen where `drawn(y)`
// says, the view's background elsewhere. False after reporting the first pixel that differs.
template <class Drawn>
bool ColumnIs(Windows& p, const QRect& view, const QImage& background, int x, QRgb pen, Drawn drawn) {
    for (int y = view.top(); y <= view.bottom(); ++y) {
        const QRgb expected =
            drawn(y) ? pen & 0xFFFFFF : background.pixel(x - view.left(), y - view.top()) & 0xFFFFFF;
        if (p.At(x, y) != expected) {
            ADD_FAILURE() << "at " << x << "," << y << ": " << p.At(x, y) << " instead of " << expected;
            return false;
        }
    }
    return true;
}

void Ramp(SampleBuffer& s) {
    for (int i = 0; i < 500; ++i)
        s[size_t(i)] = std::uint16_t(i * 2);
}

} // namespace

// The bar on the screen against a plain progress bar in its place, both in device pixels (a
// scaled screen has more of them than the bar has logical ones): every pixel the plain one
// paints whole must be the same. The number of pixels compared, or -1 at a difference.
int ComparedWithPlainBar(TestProgram& p, const QWidget& bar, int value) {
    const QImage shown = QGuiApplication::primaryScreen()
                             ->grabWindow(p.W1->winId(), bar.x(), bar.y(), bar.width(), bar.height())
                             .toImage();
    QProgressBar plain; // never shown: drawn only here, in the bar's palette
    plain.setPalette(bar.palette());
    plain.resize(bar.size());
    plain.setRange(1, 1000);
    plain.setTextVisible(false);
    plain.setValue(value);
    QImage drawn(shown.size(), QImage::Format_ARGB32_Premultiplied);
    drawn.setDevicePixelRatio(shown.devicePixelRatio());
    drawn.fill(Qt::transparent);
    plain.render(&drawn, QPoint(), QRegion(), QWidget::RenderFlags());
    int compared = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (qAlpha(drawn.pixel(x, y)) == 255) {
                ++compared;
                // At a fractional scale the edges blend: a level or two apart is the same pixel.
                const QRgb a = drawn.pixel(x, y), b = shown.pixel(x, y);
                if (std::abs(qRed(a) - qRed(b)) > 2 || std::abs(qGreen(a) - qGreen(b)) > 2 ||
                    std::abs(qBlue(a) - qBlue(b)) > 2)
                    return -1;
            }
    return compared;
}

// The bar follows the byte count tick by tick, full above the range and empty below it,
// but paints later and alone: not inside the tick, only the pixels a step changes, never
// the window or panels beneath; and the screen shows what a plain progress bar would.
TEST(Windows, ProgressBarStepsPaintLaterAndAlone) {
    Windows p;
    p.session.Timer1.stop(); // only this test moves the bar
    ASSERT_TRUE(QTest::qWaitForWindowExposed(p.W1.get()));
    p.W1->repaint(); // whatever start-up left to paint, now
    QCoreApplication::processEvents();
    auto& bar = Control<TProgressBar>(*p.W1, "ProgressBar1");
    PaintCounter onBar, onWindow, onPanels;
    bar.installEventFilter(&onBar);
    p.W1->installEventFilter(&onWindow);
    Control(*p.W1, "StatusBar1").installEventFilter(&onPanels);

    int paints = 0;
    for (const auto& [count, shown] : std::vector<std::pair<int, int>>{
             {300, 300}, {550, 550}, {1200, 1000}, {0, 0}, {5, 5}, {20, 20}, {0, 0}, {999, 999}}) {
        p.W1->ShowProgress(count);
        EXPECT_EQ(bar.Position(), std::max(shown, bar.Minimum() - 1)) << count;
        EXPECT_EQ(onBar.paints, paints) << "painted inside the tick at " << count;
        ASSERT_TRUE(RunUntil([&] { return onBar.paints > paints; }, 5000)) << count;
        paints = onBar.paints;
        if (count == 550) {
            EXPECT_LT(onBar.area.width(), bar.width() / 2) << "a step repaints the whole bar";
        }
        EXPECT_GT(ComparedWithPlainBar(p, bar, shown), bar.width() * bar.height() / 2) << count;
    }
    p.W1->ShowProgress(995); // 999 and 995 fill the same pixels
    QCoreApplication::processEvents();
    EXPECT_EQ(onBar.paints, paints);
    EXPECT_EQ(bar.Position(), 999);
    EXPECT_EQ(onWindow.paints + onPanels.paints, 0) << "the bar repaints what lies beneath it";
}

TEST(Windows, VoltRangeChangeRelabelsRescalesAndRepaints) {
    Windows p;
    Ramp(p.state.samples);
    p.state.spectrum.fill(0);
    p.state.spectrum[100] = 500;
    p.W2->TurnKnob(TW2::ToolKnob::Volts, 1); // 0,5 V per division
    EXPECT_EQ(p.state.volt.MvPerRow, 20);
    EXPECT_EQ(p.state.volt.SpectrumDivisor, 5);
    EXPECT_EQ(p.W1->StatusText(StatusPanel::Volts), "0,5V");
    EXPECT_EQ(p.W1->ScaleText(TW1::Scale::Volts, 1), "4,5V");
    EXPECT_EQ(p.W1->ScaleText(TW1::Scale::Volts, 9), "0,5V");
    // The repaint draws the stored block at the new scale, rounding: vertices 0..497 in the trace colour.
    for (int i = 0; i < 498; ++i) {
        const int row = SampleToRow(p.state.samples[size_t(i)], Rounding::Nearest, 20);
        if (row > 249)
            continue;
        ASSERT_EQ(p.At(30 + (i == 0 ? 0 : i + 1), 279 - row), 0u) << "sample " << i;
    }
    // The spectrum is redrawn at the new divisor: bar of 100 rows on bin 100.
    EXPECT_EQ(p.At(130, 346 + 124 - 99), 0u);
    EXPECT_NE(p.At(130, 346 + 124 - 100), 0u);
    p.state.settings.FW = false; // a line through the bin tops: nothing inside the bar
    p.W1->DrawSpectrum();
    EXPECT_NE(p.At(130, 346 + 100), 0u);
    // Tick marks: black, end points excluded.
    EXPECT_EQ(p.At(24, 55), 0u);
    EXPECT_NE(p.At(29, 55), 0u);
    EXPECT_EQ(p.At(55, 285), 0u);
    EXPECT_NE(p.At(55, 286), 0u);
}

TEST(Windows, TimeBaseChangeRelabelsAfterTheTick) {
    Windows p;
    p.session.Timer1.SetTimerInterval(0);
    for (int pos = 0; pos < 16; ++pos) {
        p.W2->TurnKnob(TW2::ToolKnob::Time, pos);
        p.session.Timer1Timer();
        const auto& row = TimebaseTable[size_t(pos)];
        EXPECT_EQ(p.W1->StatusText(StatusPanel::TimeBase).toStdString(), row.Text);
        for (size_t i = 0; i < 4; ++i)
            EXPECT_EQ(p.W1->ScaleText(TW1::Scale::Times, i + 1).toStdString(), row.T[i]) << pos;
        for (size_t i = 0; i < 5; ++i)
            EXPECT_EQ(p.W1->ScaleText(TW1::Scale::Frequencies, i).toStdString(), row.F[i]) << pos;
        EXPECT_EQ(p.state.time.TimeUnit, pos < 6 ? "ms" : "s");
        EXPECT_EQ(p.state.acq.SlowMode, pos >= 7);
    }
    EXPECT_DOUBLE_EQ(p.state.time.TimePerPixel, 0.4);
}

TEST(Windows, ProgressiveRepaintShowsExactlyThePartReceived) {
    Windows p;
    p.state.acq.SlowMode = true;
    Ramp(p.state.samples);
    p.state.acq.RxLength = 201; // 100 complete samples; the newest is held back
    p.W1->FormPaint();
    for (int j = 0; j <= 97; ++j) // lines run to sample 98, whose own pixel is the excluded end point
        ASSERT_EQ(p.At(30 + (j == 0 ? 0 : j + 1),
                       279 - SampleToRow(p.state.samples[size_t(j)], Rounding::Nearest, 40)),
                  0u)
            << j;
    const int beyond = 30 + 99 + 1; // sample 99, held back
    const int row = 279 - SampleToRow(p.state.samples[99], Rounding::Nearest, 40);
    EXPECT_EQ(p.At(beyond, row), p.Background(beyond, row));
}

// Each progressive step repaints only the columns its samples reached; the screen then
// shows the whole trace as drawn.
TEST(Windows, ProgressiveStepsRepaintOnlyTheNewColumns) {
    Windows p;
    p.session.Timer1.stop();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(p.W1.get()));
    p.state.acq.SlowMode = true;
    p.state.settings.LW = 2;
    Ramp(p.state.samples);
    p.W1->BeginProgressiveBlock();
    PaintCounter onWindow, onFrames;
    p.W1->installEventFilter(&onWindow);
    for (const bool outer : {false, true}) // around and far around the view
        Control(*p.W1, outer ? "SmoothBevel3" : "SmoothBevel1").installEventFilter(&onFrames);
    for (const int length : {40, 400, 410, 1000}) {
        const int paints = onWindow.paints;
        p.state.acq.RxLength = length;
        p.W1->DrawProgressiveTrace();
        ASSERT_TRUE(RunUntil([&] { return onWindow.paints > paints; }, 5000)) << length;
        if (length == 410) {
            EXPECT_LE(onWindow.area.width(), 12);
        }
    }
    EXPECT_EQ(onFrames.paints, 0) << "frames around the view repaint with it";
    const QImage shown =
        QGuiApplication::primaryScreen()->grabWindow(p.W1->winId(), 30, 30, 500, 250).toImage();
    EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32),
              p.W1->ClientImage().copy(30, 30, 500, 250).convertToFormat(QImage::Format_RGB32));
}

TEST(Windows, LiveTracesReplaceTheLastAndKeepThePenWidth) {
    for (const int width : {1, 2}) {
        Windows p;
        p.state.settings.LW = width;
        p.state.settings.PC = 0x0000FF;
        const QRgb red = 0xFF0000;
        const auto fastBlock = [&](std::uint16_t sample) {
            p.state.samples.fill(sample);
            p.W1->SetFastTracePen();
            p.W1->DrawFastTrace();
            p.W1->ShowFastTrace();
        };
        fastBlock(512); // row 125
        EXPECT_EQ(p.At(200, 154), red);
        EXPECT_EQ(p.At(200, 153) == red, width == 2) << "width " << width;
        fastBlock(205); // row 50
        EXPECT_EQ(p.At(200, 229), red);
        EXPECT_EQ(p.At(200, 154), p.Background(200, 154)) << "the previous block is gone";

        p.W1->FormPaint(); // the scale's ticks are as wide as the trace
        EXPECT_EQ(p.At(27, 55), 0u);
        EXPECT_EQ(p.At(27, 54) == 0u, width == 2) << "width " << width;

        // Progressive, live, at 0,1 V per division: rows truncate and stop at the top row.
        p.W2->TurnKnob(TW2::ToolKnob::Volts, 3);
        p.state.acq.SlowMode = true;
        p.W1->BeginProgressiveBlock();
        p.state.samples.fill(0);
        std::fill_n(p.state.samples.begin(), 4, std::uint16_t(9)); // 87,89 mV: row 21, not 22
        std::fill_n(p.state.samples.begin() + 4, 4, std::uint16_t(1023));
        p.state.acq.RxLength = 20;
        p.W1->DrawProgressiveTrace();
        EXPECT_EQ(p.At(31, 258), red);
        EXPECT_EQ(p.At(32, 257) == red, width == 2) << "width " << width;
        EXPECT_EQ(p.At(36, 30), red);
        for (int x = 30; x < 40; ++x)
            for (int y = 0; y < 29; ++y)
                ASSERT_NE(p.At(x, y), red) << "drawn above the view at " << x << "," << y;
    }
}

// Drawn straight onto the window, a fast trace is what the transparent overlay laid on the view
// would give: clipped to the view, and nothing at all from a pen of the key colour. Its shape
// is checked apart from the drawing code: every vertex where the sample's voltage puts it (10 V
// over 1024 counts, whole millivolts truncated, 4 mV a row at 0,1 V/div), and where the trace
// runs level, its column holds the pen's row (two rows with a wide pen) and background alone.
TEST(Windows, FastTraceOnTheWindowIsWhatTheOverlayWouldShow) {
    for (const int bgr : {0x0000FF, 0xFF00FF})
        for (const int width : {1, 2}) {
            Windows p;
            p.state.settings.LW = width;
            p.state.settings.PC = bgr;
            p.W2->TurnKnob(TW2::ToolKnob::Volts, 3); // 0,1 V/div: about half of it above the view
            const auto& s = p.state.samples;
            for (std::size_t i = 0; i < 500; ++i) // level runs of ten, with steps between them
                p.state.samples[i] = std::uint16_t(i / 10 * 37 % 200);
            const QImage before = p.W1->ClientImage();
            p.W1->SetFastTracePen();
            p.W1->DrawFastTrace();
            p.W1->ShowFastTrace();
            Canvas overlay(QSize(500, 250));
            overlay.PenColor = ColorFromBgr(bgr);
            overlay.PenWidth = width;
            DrawTrace(overlay, p.state.samples, Rounding::Truncate, p.state.volt.MvPerRow);
            const int traced = OverlaidPixels(p, before, QRect(30, 30, 500, 250), overlay.Image(),
                                              p.W1->TimeBackgroundImage());
            ASSERT_GE(traced, 0) << "pen " << bgr << " width " << width;
            EXPECT_EQ(traced > 0, bgr != 0xFF00FF);
            if (bgr == 0xFF00FF)
                continue;
            const QRgb red = 0xFF0000;
            const auto y = [&](std::size_t i) { return 279 - s[i] * 10000 / 1024 / 4; }; // < 30: above
            int vertices = 0, levels = 0;
            for (std::size_t i = 0; i < 498; ++i) { // vertex 498 ends the last line: not drawn
                const int x = 30 + (i == 0 ? 0 : int(i) + 1);
                if (y(i) >= 30) {
                    ++vertices;
                    ASSERT_EQ(p.At(x, y(i)), red) << "sample " << i << " width " << width;
                }
                // Lines leave a column only for its neighbours: level around it, it is the pen alone.
                if (i > 0 && i + 2 < 498 && s[i - 1] == s[i] && s[i + 1] == s[i] && s[i + 2] == s[i]) {
                    ++levels;
                    ASSERT_TRUE(ColumnIs(p, QRect(30, 30, 500, 250), p.W1->TimeBackgroundImage(), x, red,
                                         [&](int r) { return r == y(i) || (width == 2 && r == y(i) - 1); }))
                        << "sample " << i << " width " << width;
                }
            }
            EXPECT_GT(vertices, 200);
            EXPECT_GT(levels, 300);
        }
}

// The spectrum likewise, bars or a line, some taller than the view; a repaint shows it with the
// pen it was drawn with, as the overlay kept it. The heights are checked apart from the drawing
// code: a bar of h rows from the bottom row up in every column but the first; a line through the
// bin tops, alone in its column where it runs level.
TEST(Windows, SpectrumOnTheWindowIsWhatTheOverlayWouldShow) {
    for (const bool filled : {false, true})
        for (const QRgb pen : {qRgb(255, 0, 0), KeyColor}) {
            Windows p;
            p.state.settings.FW = filled;
            p.W1->SetSpectrumColor(QColor::fromRgb(pen));
            const int divisor = p.state.volt.SpectrumDivisor;
            const auto height = [](int k) { return k / 10 * 53 % 180; }; // level runs of ten
            for (std::size_t k = 0; k < 500; ++k)
                p.state.spectrum[k] = std::int32_t(height(int(k))) * divisor;
            const QImage before = p.W1->ClientImage();
            p.W1->DrawSpectrum();
            p.W1->SetSpectrumColor(Qt::blue);
            p.W1->FormPaint();
            Canvas overlay(QSize(500, 125));
            overlay.PenColor = QColor::fromRgb(pen);
            DrawSpectrumLines(overlay, p.state.spectrum, divisor, filled);
            const int drawn = OverlaidPixels(p, before, QRect(30, 346, 500, 125), overlay.Image(),
                                             p.W1->SpectrumBackgroundImage());
            ASSERT_GE(drawn, 0) << "filled " << filled;
            EXPECT_EQ(drawn > 0, pen != KeyColor);
            if (pen == KeyColor)
                continue;
            int levels = 0;
            for (int k = 0; k < 500; ++k) {
                const int top = 470 - height(k); // the bin's vertex; above the view when taller
                const bool level =
                    k > 0 && k < 499 && height(k - 1) == height(k) && height(k + 1) == height(k);
                levels += level;
                if (filled || level) {
                    ASSERT_TRUE(ColumnIs(p, QRect(30, 346, 500, 125), p.W1->SpectrumBackgroundImage(), 30 + k,
                                         pen, [&](int y) { return filled ? k > 0 && y > top : y == top; }))
                        << "bin " << k << " filled " << filled;
                } else if (k < 499 && top >= 346) { // the last vertex ends the line: not drawn
                    ASSERT_EQ(p.At(30 + k, top), pen & 0xFFFFFF) << "bin " << k;
                }
            }
            EXPECT_GT(levels, 300);
        }
}

// A block's views are composed where they are shown: what the screen and a picture of the window
// show of them is what the kept picture has.
TEST(Windows, TheScreenShowsTheViewsAsTheKeptPictureHasThem) {
    Windows p;
    p.state.settings.LW = 2;
    for (std::size_t i = 0; i < 500; ++i) {
        p.state.samples[i] = std::uint16_t(i * 37 % 1000);
        p.state.spectrum[i] = std::int32_t(i * 53 % 180) * p.state.volt.SpectrumDivisor;
    }
    p.W1->SetFastTracePen();
    p.W1->DrawFastTrace();
    p.W1->ShowFastTrace();
    p.W1->DrawSpectrum();
    ASSERT_TRUE(RunUntil([&] { return p.W1->windowHandle()->isExposed(); }, 20000));
    p.W1->repaint();
    QPaintDevice* store = p.W1->backingStore()->paintDevice();
    ASSERT_EQ(store->devType(), QInternal::Image);
    const QImage& screen = *static_cast<QImage*>(store);
    const QImage shown = p.W1->ShownPicture();
    const QImage& kept = p.W1->ClientImage();
    for (const QRect view : {QRect(30, 30, 500, 250), QRect(30, 346, 500, 125)})
        for (int y = view.top(); y <= view.bottom(); ++y)
            for (int x = view.left(); x <= view.right(); ++x) {
                ASSERT_EQ(screen.pixel(x, y) & 0xFFFFFF, kept.pixel(x, y) & 0xFFFFFF) << x << "," << y;
                ASSERT_EQ(shown.pixel(x, y) & 0xFFFFFF, kept.pixel(x, y) & 0xFFFFFF) << x << "," << y;
            }
}

TEST(Windows, ProgressBarShowsTheCountAndStartsEachBlockEmpty) {
    Windows p;
    p.W1->ShowProgress(600);
    EXPECT_EQ(p.W1->Progress().Position(), 600);
    p.W1->ShowProgress(0);
    EXPECT_LT(p.W1->Progress().Position(), p.W1->Progress().Minimum());
}

// On a high-density screen each pixel is a block of device pixels, and a block not yet composed
// into the kept picture goes there first: the scaled paint shows what one pixel per pixel shows.
TEST(Windows, PictureStaysCrispOnAHighDensityScreen) {
    Windows p;
    Ramp(p.state.samples);
    p.W1->SetFastTracePen();
    p.W1->DrawFastTrace();
    p.W1->ShowFastTrace();
    p.W1->DrawSpectrum();
    const QImage plain = p.W1->ShownPicture(); // composed at the paint, the kept picture left alone
    QImage shot(578 * 2, 519 * 2, QImage::Format_RGB32);
    shot.setDevicePixelRatio(2);
    p.W1->render(&shot);
    for (const QRect view : {QRect(30, 30, 500, 250), QRect(30, 346, 500, 125)})
        for (int y = view.top(); y <= view.bottom(); ++y)
            for (int x = view.left(); x <= view.right(); ++x)
                for (int d = 0; d < 4; ++d)
                    ASSERT_EQ(shot.pixel(x * 2 + d % 2, y * 2 + d / 2), plain.pixel(x, y)) << x << "," << y;
}

TEST(Windows, KnobChangeEventsFollowTheRules) {
    Windows p;
    TKnob& k = Control<TKnob>(*p.W2, "Knob3");
    std::vector<int> changes;
    k.OnChange = [&](TKnob* sender) { changes.push_back(sender->Position()); };
    k.SetPosition(1);
    EXPECT_TRUE(changes.empty()) << "writing the current position fires nothing";
    k.SetPosition(5000);
    EXPECT_EQ(changes, std::vector<int>{1023});
    k.SetMaxValue(500);
    EXPECT_EQ(k.Position(), 500);
    EXPECT_EQ(changes.back(), 500);
    EXPECT_THROW(k.SetMaxValue(0), EKnobError);
    EXPECT_THROW(k.SetMinValue(600), EKnobError);
    EXPECT_EQ(k.MaxValue(), 500);
    try {
        k.SetMinValue(501);
        ADD_FAILURE() << "a minimum above the maximum was taken";
    } catch (const EKnobError& e) {
        EXPECT_STREQ(e.what(), "Value out of range.");
    }

    changes.clear();
    TKnob& t = Control<TKnob>(*p.W2, "Knob2");
    t.OnChange = [&](TKnob* sender) { changes.push_back(sender->Position()); };
    QTest::mouseMove(&t, QPoint(42, 5));
    QTest::mousePress(&t, Qt::RightButton, {}, QPoint(42, 5));
    EXPECT_EQ(t.Position(), 0) << "the right button changes nothing";
    QTest::mouseRelease(&t, Qt::RightButton, {}, QPoint(42, 5));
    QTest::mousePress(&t, Qt::LeftButton, {}, QPoint(42, 5)); // the top of the dial
    EXPECT_EQ(t.Position(), 7);
    QTest::mouseMove(&t, QPoint(80, 50));
    EXPECT_EQ(t.Position(), 12);
    QTest::mouseRelease(&t, Qt::LeftButton, {}, QPoint(80, 50));
    QTest::mouseMove(&t, QPoint(5, 50));
    EXPECT_EQ(t.Position(), 12) << "a move without a press changes nothing";
    EXPECT_EQ(changes, (std::vector<int>{7, 12}));
}

TEST(Windows, TriggerPanelModesLevelAndLine) {
    Windows p;
    auto& w2 = *p.W2;
    EXPECT_EQ(w2.LevelText(), "10 mV");
    EXPECT_EQ(p.W1->StatusText(StatusPanel::Level), "10mV");
    w2.Press(TW2::ToolButton::LevelDown); // "-" at 1: nothing
    EXPECT_EQ(w2.LevelText(), "10 mV");
    w2.Press(TW2::ToolButton::LevelUp);
    EXPECT_EQ(p.state.trigger.TriggerLevel, 2);
    EXPECT_EQ(w2.LevelText(), "20mV");
    EXPECT_EQ(p.W1->StatusText(StatusPanel::Level), "20mV");
    w2.Press(TW2::ToolButton::LevelDown); // "-" from 2 reaches 1, as "+" reaches 1023
    EXPECT_EQ(p.state.trigger.TriggerLevel, 1);
    EXPECT_EQ(p.W1->StatusText(StatusPanel::Level), "10mV");
    w2.TurnKnob(TW2::ToolKnob::Level, 1023);
    w2.Press(TW2::ToolButton::LevelUp); // "+" at 1023: nothing
    EXPECT_EQ(p.state.trigger.TriggerLevel, 1023);
    EXPECT_EQ(w2.LevelText(), "9990mV");
    QTest::mouseClick(&Control<TKnob>(w2, "Knob3"), Qt::LeftButton, {}, QPoint(5, 42)); // straight left
    EXPECT_EQ(w2.LevelText(), "2000mV");

    EXPECT_FALSE(p.W1->LevelLine().isVisibleTo(p.W1.get()));
    w2.TriggerSwitch().OnClick();
    EXPECT_EQ(p.state.trigger.TriggerEdge, 0x60);
    EXPECT_EQ(p.W1->StatusText(StatusPanel::Trigger), "L->H");
    EXPECT_TRUE(p.W1->LevelLine().isVisibleTo(p.W1.get()));
    EXPECT_EQ(p.W1->LevelLine().y(), 277) << "the design place until the first placement";
    w2.TriggerSwitch().OnClick();
    EXPECT_EQ(p.W1->StatusText(StatusPanel::Trigger), "H->L");
    EXPECT_EQ(p.state.trigger.TriggerEdge, 0x40);
    w2.TriggerSwitch().OnClick();
    EXPECT_EQ(p.state.trigger.TriggerEdge, 0);
    EXPECT_FALSE(p.W1->LevelLine().isVisibleTo(p.W1.get()));
    EXPECT_EQ(w2.TriggerSwitch().Picture().pixel(8, 60), p.W1->SwitchPicture(0).pixel(8, 60));

    w2.Press(TW2::ToolButton::TriggerFalling);
    w2.TurnKnob(TW2::ToolKnob::Volts, 3); // 0,1 V per division: 9990 mV is far above the view
    p.session.Timer1.SetTimerInterval(0);
    w2.TurnKnob(TW2::ToolKnob::Level, 500);
    p.session.Timer1Timer();
    EXPECT_EQ(p.W1->LevelLine().y(), 30);
    w2.TurnKnob(TW2::ToolKnob::Volts, 0);
    EXPECT_EQ(p.W1->LevelLine().y(), 30) << "a volt range change does not move the line";
    w2.TurnKnob(TW2::ToolKnob::Level, 512);
    p.session.Timer1Timer();
    EXPECT_EQ(p.W1->LevelLine().y(), 30 + 249 - 125);
}

TEST(Windows, TheTriggerSwitchStepsOncePerCompletedClick) {
    Windows p;
    TImage* sw = &Control<TImage>(*p.W2, "Przel");
    const auto send = [&](QEvent::Type type, QPoint at) {
        QMouseEvent e(type, at, sw->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(sw, &e);
    };
    const QPoint on(8, 30);
    send(QEvent::MouseButtonPress, on);
    EXPECT_EQ(p.state.trigger.TriggerMode, 0) << "a press alone is no click";
    send(QEvent::MouseButtonRelease, on);
    EXPECT_EQ(p.state.trigger.TriggerMode, 1);
    send(QEvent::MouseButtonPress, on);
    send(QEvent::MouseButtonRelease, QPoint(60, 30)); // released off the switch
    EXPECT_EQ(p.state.trigger.TriggerMode, 1);
    // A double click as the window system delivers it: press, release, double click, release.
    send(QEvent::MouseButtonPress, on);
    send(QEvent::MouseButtonRelease, on);
    send(QEvent::MouseButtonDblClick, on);
    send(QEvent::MouseButtonRelease, on);
    EXPECT_EQ(p.state.trigger.TriggerMode, 2);
}

TEST(Windows, MarkerButtonsAndMouseRules) {
    Windows p;
    auto& w1 = *p.W1;
    auto& w2 = *p.W2;
    p.state.samples.fill(300);
    p.state.samples[40] = 100;
    p.state.samples[60] = 900;
    p.state.samples[41] = 100;
    w2.SmoothButton2Click(); // Stop enables "Włącz" and "Wyłącz"
    EXPECT_TRUE(w2.Button(TW2::ToolButton::MarkersOn).isEnabled());
    EXPECT_FALSE(w2.Button(TW2::ToolButton::MarkersToExtremes).isEnabled());
    w2.Press(TW2::ToolButton::MarkersOn);
    EXPECT_TRUE(w2.Button(TW2::ToolButton::MarkersToExtremes).isEnabled());
    EXPECT_TRUE(w1.MarkerItem(TW1::MarkerPin::A).isVisibleTo(&w1));
    w2.Press(TW2::ToolButton::MarkersToExtremes);
    EXPECT_EQ(w1.MarkerItem(TW1::MarkerPin::A).x(), 40 + 26);
    EXPECT_EQ(w1.MarkerItem(TW1::MarkerPin::B).x(), 60 + 26);
    EXPECT_EQ(w1.TimeDistanceText(), "0,08ms");
    EXPECT_EQ(w1.VoltDistanceText(), "7,8V"); // heights 24 and 219
    EXPECT_EQ(w1.MarkerItem(TW1::MarkerPin::AY).y(), 278 - 24);

    EXPECT_EQ(w1.childAt(280, 155)->cursor().shape(), Qt::CrossCursor) << "a cross over the time view";

    // Ctrl held or the right button: A stays; the read-out follows anyway.
    QTest::mouseMove(&Control(w1, "Image2"), QPoint(100, 50));
    w1.Image2MouseMove({Qt::LeftButton, Qt::ControlModifier}, 200, 125);
    w1.Image2MouseMove({Qt::RightButton, Qt::NoModifier}, 300, 125);
    EXPECT_EQ(p.state.markers.MarkerAX, 40);
    EXPECT_EQ(p.state.markers.MarkerBX, 300);
    EXPECT_EQ(w2.PointerTimeText(), "1,2ms");
    EXPECT_EQ(w2.PointerVoltText(), "5V");
    w1.Image2MouseMove({Qt::LeftButton, Qt::NoModifier}, 900, 0); // past the right edge
    EXPECT_EQ(w1.MarkerItem(TW1::MarkerPin::A).x(), 526);

    w2.Press(TW2::ToolButton::MarkersReset);
    EXPECT_EQ(w1.MarkerItem(TW1::MarkerPin::A).x(), 26);
    EXPECT_EQ(w1.MarkerItem(TW1::MarkerPin::B).x(), 26);
    EXPECT_EQ(w2.PointerTimeText(), "0ms");
    EXPECT_EQ(w2.PointerVoltText(), "10V");
    w2.Press(TW2::ToolButton::MarkersOff);
    EXPECT_FALSE(w1.MarkerItem(TW1::MarkerPin::A).isVisibleTo(&w1));
    EXPECT_FALSE(w2.Button(TW2::ToolButton::MarkersToExtremes).isEnabled());
    EXPECT_TRUE(w2.Button(TW2::ToolButton::MarkersOn).isEnabled());

    w2.SmoothButton1Click(); // Start hides and disables
    EXPECT_FALSE(w2.Button(TW2::ToolButton::MarkersOn).isEnabled());

    // Markers follow a V/dz change: at 0,5 V per division the heights double.
    w1.Image2MouseMove({Qt::LeftButton, Qt::NoModifier}, 40, 0);
    w1.Image2MouseMove({Qt::RightButton, Qt::NoModifier}, 60, 0);
    w2.TurnKnob(TW2::ToolKnob::Volts, 1);
    EXPECT_EQ(p.state.markers.MarkerAHeight, 48);
    EXPECT_EQ(p.state.markers.MarkerBHeight, 439);
    EXPECT_EQ(w1.MarkerItem(TW1::MarkerPin::BY).y(), 278 - 250);
    w1.Image2MouseMove({Qt::NoButton, Qt::NoModifier}, 300, 125);
    EXPECT_EQ(w2.PointerVoltText(), "2,5V") << "the pointer read-out follows the V/dz";
}

namespace {

// A square wave of 5 periods a block, 60 % high: 100 samples a period.
void Square(SampleBuffer& s, int high = 1000, int low = 100) {
    for (int i = 0; i < 500; ++i)
        s[size_t(i)] = std::uint16_t(i % 100 < 60 ? high : low);
}

void Press(QWidget& window, QKeyCombination keys) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, keys.key(),
                    keys.keyboardModifiers());
}

} // namespace

TEST(Windows, MeasurementsWindowTogglesWithF2AndTheMenuAndFollowsBlocksAtMostTenTimesASecond) {
    Windows p;
    TMeasurementsWindow& m = *p.measurements;
    EXPECT_FALSE(m.isVisible());
    Square(p.state.samples);
    p.W1->BlockComplete(0); // hidden: nothing is measured
    EXPECT_EQ(m.Updates(), 0);
    Press(*p.W1, Qt::Key_F2);
    ASSERT_TRUE(m.isVisible());
    EXPECT_EQ(m.windowTitle(), "Pomiary");
    EXPECT_EQ(m.Updates(), 1) << "the block that came while hidden";
    // 0,1 ms/dz: a block is 2 ms, a period 0,4 ms.
    EXPECT_EQ(m.ReadingText(TMeasurementsWindow::Reading::Frequency), "2,5kHz");
    EXPECT_EQ(m.ReadingText(TMeasurementsWindow::Reading::Period), "0,4ms");
    EXPECT_EQ(m.ReadingText(TMeasurementsWindow::Reading::Vmax), "9,766V");
    EXPECT_EQ(m.ReadingText(TMeasurementsWindow::Reading::Duty),
              "59,8%"); // edges interpolated at the mean level between samples

    // A quick run of blocks with no event in between: one read-out at most (two, if 100 ms passed
    // between the first two), not one per block, and the last block is shown in the end.
    for (int k = 0; k < 50; ++k) {
        Square(p.state.samples, 1000 - k);
        p.W1->BlockComplete(0);
    }
    EXPECT_LE(m.Updates(), 1 + 2);
    ASSERT_TRUE(RunUntil([&] { return m.ReadingText(TMeasurementsWindow::Reading::Vmax) == "9,287V"; }, 3000))
        << m.ReadingText(TMeasurementsWindow::Reading::Vmax).toStdString();
    const int updates = m.Updates();
    RunUntil([] { return false; }, 250);
    EXPECT_EQ(m.Updates(), updates) << "no read-out without a block";

    p.state.samples.fill(0); // constant: no period to measure
    p.W1->BlockShown(15);
    ASSERT_TRUE(
        RunUntil([&] { return m.ReadingText(TMeasurementsWindow::Reading::Frequency) == "—"; }, 3000));
    EXPECT_EQ(m.ReadingText(TMeasurementsWindow::Reading::Duty), "—");

    Press(*p.W2, Qt::Key_F2);
    EXPECT_FALSE(m.isVisible());
    ASSERT_EQ(p.W2->actions().size(), 3); // "Pomiary", "Przechwytywanie", "Lupa"
    p.W2->actions()[0]->trigger();        // the tool window's context menu
    EXPECT_TRUE(m.isVisible());
    Press(m, Qt::Key_F2);
    EXPECT_FALSE(m.isVisible());
}

TEST(Windows, KeysWorkTheButtonsAndTheWheelTurnsTheKnobsOnePositionPerNotch) {
    Windows p;
    BoxWatcher watcher;
    int prints = 0, opens = 0;
    p.W2->AskPrinter = [&](QPrinter&) { return ++prints, false; };
    p.W2->AskOpenFileName = [&] { return ++opens, QString(); };
    const std::string saved = p.dir.File("keys.csv");
    p.W2->AskSaveFileName = [&] { return QString::fromStdString(saved); };
    Control(*p.W2, "SmoothFlatButton6").setFocus(); // wherever the focus is
    Press(*p.W2, Qt::CTRL | Qt::Key_S);
    EXPECT_TRUE(std::filesystem::exists(saved));
    Press(*p.W1, Qt::CTRL | Qt::Key_O);
    Press(*p.W2, Qt::CTRL | Qt::Key_P);
    p.measurements->Toggle();
    Press(*p.measurements, Qt::CTRL | Qt::Key_P);
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(prints, 2) << "the keys work in \"Pomiary\" too";
    EXPECT_FALSE(p.Form1->isVisible()) << "the focused button was not pressed";
    EXPECT_TRUE(watcher.seen.empty());

    const auto wheel = [](TKnob& knob, int delta) {
        QWheelEvent e(QPointF(40, 40), QPointF(40, 40), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&knob, &e);
    };
    TKnob& volts = Control<TKnob>(*p.W2, "Knob1");
    wheel(volts, 120);
    EXPECT_EQ(volts.Position(), 1);
    EXPECT_EQ(p.W1->StatusText(StatusPanel::Volts), "0,5V") << "through its change handler";
    wheel(volts, 60);
    EXPECT_EQ(volts.Position(), 1) << "half a notch";
    wheel(volts, 60);
    EXPECT_EQ(volts.Position(), 2);
    wheel(volts, 3 * -120);
    EXPECT_EQ(volts.Position(), 0) << "stops at the end";
    EXPECT_EQ(p.state.volt.FullScaleVolts, 10);

    TKnob& time = Control<TKnob>(*p.W2, "Knob2");
    wheel(time, 120);
    ASSERT_TRUE(RunUntil([&] { return p.W1->LabelledTimebase() == 1; }, 3000)) << "the tick takes the change";

    TKnob& level = Control<TKnob>(*p.W2, "Knob3");
    wheel(level, -120);
    EXPECT_EQ(level.Position(), 1);
    wheel(level, 120);
    EXPECT_EQ(level.Position(), 2);
    EXPECT_EQ(p.state.trigger.TriggerLevel, 2) << "one step, as \"+\" takes";
}

namespace {

QImage Look(QWidget& w) {
    return w.grab().toImage();
}

// A key into whatever has the focus, as the keyboard sends it.
void Key(QWidget& window, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, key, mods);
}

const QWidget* Focused() {
    return QApplication::focusWidget();
}

std::string NameOf(const QWidget* w) {
    return w ? w->objectName().toStdString() : "nothing";
}

} // namespace

// Tab walks every usable control in the order of the window, each marked while it has the focus
// and only then; the keys work each control through its click's handlers. No mark before.
TEST(Windows, TheKeyboardWalksAndWorksTheToolWindow) {
    Windows p;
    TW2& w2 = *p.W2;
    w2.SmoothButton2Click(); // Start, "Włącz" and "Wyłącz" usable
    w2.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w2));
    TKnob& volts = Control<TKnob>(w2, "Knob1");
    auto& reset = Control<QAbstractButton>(w2, "SmoothButton3");
    const QImage knobPlain = Look(volts), resetPlain = Look(reset);
    QTest::mouseClick(&Control<TImage>(w2, "Przel"), Qt::LeftButton, {}, QPoint(8, 30));
    EXPECT_NE(Focused(), &w2.TriggerSwitch()) << "a click moves no focus";
    volts.setFocus();
    EXPECT_EQ(Look(volts), knobPlain) << "no mark before the keyboard is used";
    reset.setFocus();
    EXPECT_EQ(Look(reset), resetPlain) << "no mark before the keyboard is used";

    Control(w2, "SmoothFlatButton4").setFocus();
    using enum TW2::ToolButton;
    using enum TW2::ToolKnob;
    const auto button = [&](TW2::ToolButton b) -> const QWidget* { return &w2.Button(b); };
    const auto knob = [&](TW2::ToolKnob k) -> const QWidget* { return &w2.Knob(k); };
    const std::vector<const QWidget*> order{
        button(Connect),    button(Open),        button(Save),           button(Print),
        button(Settings),   button(Start),       button(Reset),          knob(Volts),
        knob(Time),         &w2.TriggerSwitch(), button(TriggerFalling), button(TriggerRising),
        button(TriggerOff), knob(Level),         button(LevelUp),        button(LevelDown),
        button(MarkersOn),  button(MarkersOff),  button(Connect)};
    for (const QWidget* next : order) {
        QWidget& before = *QApplication::focusWidget();
        const QImage marked = Look(before);
        Key(w2, Qt::Key_Tab);
        EXPECT_EQ(Focused(), next) << NameOf(Focused()) << " instead of " << NameOf(next);
        if (&before != &w2.Button(TW2::ToolButton::MarkersOff)) { // focused by the program, not the keyboard
            EXPECT_NE(Look(before), marked) << before.objectName().toStdString() << " showed no focus mark";
        }
    }
    Key(w2, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), button(MarkersOff)) << NameOf(Focused());
    const auto tabTo = [&](const QWidget* target) {
        for (int i = 0; i < 20 && Focused() != target; ++i)
            Key(w2, Qt::Key_Tab);
        ASSERT_EQ(Focused(), target) << NameOf(Focused()) << " instead of " << NameOf(target);
    };

    tabTo(knob(Volts));
    Key(w2, Qt::Key_Right);
    EXPECT_EQ(p.W1->StatusText(StatusPanel::Volts), "0,5V") << "through its change handler";
    tabTo(knob(Time));
    Key(w2, Qt::Key_End);
    ASSERT_TRUE(RunUntil([&] { return p.W1->LabelledTimebase() == 15; }, 3000))
        << "the tick takes the change";
    tabTo(&w2.TriggerSwitch());
    Key(w2, Qt::Key_Space);
    Key(w2, Qt::Key_Return);
    EXPECT_EQ(p.state.trigger.TriggerMode, 0) << "one step per key, on from the click's";
    tabTo(button(TriggerRising));
    Key(w2, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(p.state.trigger.TriggerMode, 1) << "rising edge pressed";
    tabTo(knob(Level));
    const std::pair<Qt::Key, int> turns[] = {{Qt::Key_Right, 2}, {Qt::Key_Up, 3},   {Qt::Key_Down, 2},
                                             {Qt::Key_Left, 1},  {Qt::Key_Left, 1}, {Qt::Key_End, 1023},
                                             {Qt::Key_Home, 1}};
    for (const auto& [key, level] : turns) {
        Key(w2, key);
        EXPECT_EQ(p.state.trigger.TriggerLevel, level) << key;
    }
    EXPECT_EQ(w2.LevelText(), "10mV");
    tabTo(button(LevelUp));
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(RunUntil([&] { return p.state.trigger.TriggerLevel >= 4; }, 5000)) << "no repeat while held";
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_FALSE(w2.Button(TW2::ToolButton::LevelUp).isDown());

    tabTo(button(Settings));
    Key(w2, Qt::Key_Space);
    EXPECT_TRUE(p.Form1->isVisible()) << "Space pressed the focused button";
    EXPECT_FALSE(p.state.acq.Running) << "and did not start as well";
}

// The note fits its box: no ink on its outer columns, so no letter is cut at either end.
TEST(Windows, TheWaitingNoteFitsItsBox) {
    Windows p;
    p.W1->SetWaitingForTrigger(true);
    QWidget& note = Control(*p.W1, "WaitingNote");
    ASSERT_TRUE(note.isVisible());
    const QImage shown = Look(note);
    const QRgb paper = shown.pixel(0, 0);
    int ink = 0;
    for (int y = 0; y < shown.height(); ++y) {
        EXPECT_EQ(shown.pixel(0, y), paper) << "cut on the left at row " << y;
        EXPECT_EQ(shown.pixel(shown.width() - 1, y), paper) << "cut on the right at row " << y;
        for (int x = 0; x < shown.width(); ++x)
            ink += shown.pixel(x, y) != paper;
    }
    EXPECT_GT(ink, 50) << "the note shows";
}
