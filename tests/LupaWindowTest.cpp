// The Lupa: what it shows and how, its zoom and pan, the average and the reference, its
// export, and the main window, which it must never change.

#include "CsvExport.h"
#include "DataFile.h"
#include "LupaPlot.h"
#include "Measurements.h"
#include "ProgramHarness.h"
#include "Pty.h"
#include "Simulator.h"

#include <QAction>
#include <QComboBox>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <numbers>

namespace {

constexpr int kLong = 20000;

struct Lupa : TestProgram {
    explicit Lupa(TempDir& dir) : TestProgram(dir.File("drganik.ini")) {}
    TLupaPlot& Plot() { return lupa->Plot(); }
};

// Two periods of a sine across the block, 1 kHz at 0,1 ms/dz.
void Sine(SampleBuffer& s, double amplitude = 300) {
    for (int i = 0; i < 500; ++i)
        s[size_t(i)] = std::uint16_t(std::lround(512 + amplitude * std::sin(2 * std::numbers::pi * i / 250)));
}

// A pixel of a hairline in the pen's colour, blended with the paper by the antialiasing: its
// strongest channel well above its weakest, as the pen has them; grey grid lines never are.
bool Traced(QRgb c, QColor pen) {
    const int rgb[] = {qRed(c), qGreen(c), qBlue(c)};
    const int own[] = {pen.red(), pen.green(), pen.blue()};
    const auto hi = std::max_element(own, own + 3) - own, lo = std::min_element(own, own + 3) - own;
    return rgb[hi] - rgb[lo] >= 40;
}

// Whether the picture has the pen's colour within two pixels of a point given in logical pixels.
bool DrawnNear(const QImage& picture, QPointF at, QColor pen) {
    const qreal ratio = picture.devicePixelRatio();
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const QPoint p = (at * ratio).toPoint() + QPoint(dx, dy);
            if (picture.rect().contains(p) && Traced(picture.pixel(p), pen))
                return true;
        }
    return false;
}

// Where the trace's point for sample value v at time t lies on the plot.
QPointF Where(TLupaPlot& plot, double t, double volts) {
    const QRectF r = plot.TracePane();
    return {r.left() + ToPixel(plot.TimeSpan(), t, r.width()),
            r.bottom() - ToPixel(plot.VoltSpan(), volts, r.height())};
}

void Wheel(QWidget& w, QPointF at, int delta, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QWheelEvent e(at, w.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, keys, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(&w, &e);
}

void Mouse(QWidget& w, QEvent::Type type, QPointF at, Qt::MouseButton button,
           Qt::KeyboardModifiers keys = Qt::NoModifier) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, at, w.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button, held, keys);
    QApplication::sendEvent(&w, &e);
}

// Residual RMS of a block (in volts) around the sine of a known period that fits it best.
double NoiseRms(const std::vector<double>& v, double samplesPerPeriod) {
    // Least squares for a sin + b cos + c: the normal equations, solved by Cramer's rule.
    double m[3][3] = {}, r[3] = {};
    const auto basis = [&](std::size_t i) {
        const double x = 2 * std::numbers::pi * double(i) / samplesPerPeriod;
        return std::array<double, 3>{std::sin(x), std::cos(x), 1.0};
    };
    for (std::size_t i = 0; i < v.size(); ++i) {
        const auto b = basis(i);
        for (int j = 0; j < 3; ++j) {
            r[j] += b[size_t(j)] * v[i];
            for (int k = 0; k < 3; ++k)
                m[j][k] += b[size_t(j)] * b[size_t(k)];
        }
    }
    const auto det = [](double a[3][3]) {
        return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
               a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
               a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    };
    double c[3];
    for (int j = 0; j < 3; ++j) {
        double a[3][3];
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                a[row][col] = col == j ? r[row] : m[row][col];
        c[j] = det(a) / det(m);
    }
    double squares = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const auto b = basis(i);
        const double e = v[i] - (c[0] * b[0] + c[1] * b[1] + c[2]);
        squares += e * e;
    }
    return std::sqrt(squares / double(v.size()));
}

} // namespace

// F5 and the menu open it beside the pair with the block on the main window; the main window's
// pixels are the same with it open as without.
TEST(Lupa, OpensWithTheShownBlockAndTheMainWindowKeepsItsPixels) {
    TempDir dir;
    Lupa p(dir);
    Sine(p.state.samples);
    p.W2->ShowStoredBlock(0);
    QApplication::processEvents();
    const QImage without = p.W1->ShownPicture();
    EXPECT_FALSE(p.lupa->isVisible());

    p.W1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(p.W1.get()));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : p.W1.get(), Qt::Key_F5);
    ASSERT_TRUE(p.lupa->isVisible());
    EXPECT_EQ(p.lupa->windowTitle(), "Lupa");
    EXPECT_EQ(p.lupa->frameGeometry().top(), p.W1->frameGeometry().top()) << "beside the pair, tops level";
    // Clear of the pair where the work area has room for it (LargeScreen.Lupa: 1920 x 1080).
    const QRect area = p.lupa->screen()->availableGeometry(),
                pair = p.W1->frameGeometry() | p.W2->frameGeometry();
    if (area.width() - pair.width() >= p.lupa->minimumSizeHint().width()) {
        EXPECT_FALSE(p.lupa->frameGeometry().intersects(pair));
        EXPECT_TRUE(area.contains(p.lupa->frameGeometry())) << "as wide as the room allows";
    }
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(p.lupa->ShownVolts()[size_t(i)], p.state.samples[size_t(i)] * VoltsPerStep) << i;
    EXPECT_EQ(p.Plot().TimeSpan(), (Span{0, 500 * 4e-6}));
    EXPECT_EQ(p.Plot().VoltSpan(), (Span{0, 10}));
    ASSERT_EQ(p.lupa->Spectrum().peaks.size(), 3u);
    EXPECT_DOUBLE_EQ(p.lupa->Spectrum().peaks[0].frequency, 1000);

    p.W2->ShowStoredBlock(0);
    QApplication::processEvents();
    const QImage with = p.W1->ShownPicture();
    ASSERT_EQ(with.size(), without.size());
    EXPECT_TRUE(with == without) << "the main window changed with the Lupa open";

    ASSERT_GE(p.W2->actions().size(), 3);
    EXPECT_EQ(p.W2->actions()[2]->text(), "Lupa\tF5");
    p.W2->actions()[2]->trigger();
    EXPECT_FALSE(p.lupa->isVisible());
    p.W2->actions()[2]->trigger();
    ASSERT_TRUE(p.lupa->isVisible());
    // A quick run of live blocks with no event in between: drawn once at most (twice, if 80 ms
    // passed between the first two), and the last one in the end.
    const int refreshes = p.lupa->Refreshes();
    for (int k = 0; k < 50; ++k) {
        p.state.samples[0] = std::uint16_t(k);
        p.lupa->ShowBlock(p.state.samples, {}, true);
    }
    EXPECT_LE(p.lupa->Refreshes(), refreshes + 2);
    ASSERT_TRUE(RunUntil([&] { return p.lupa->ShownVolts()[0] == 49 * VoltsPerStep; }, kLong));
    RunUntil([] { return false; }, 200);
    EXPECT_LE(p.lupa->Refreshes(), refreshes + 3) << "nothing drawn without a block";

    p.lupa->Toggle();
    EXPECT_FALSE(p.lupa->isVisible());
    p.state.samples.fill(100); // hidden: kept, shown when it opens
    p.W1->BlockShown(0);
    p.lupa->Toggle();
    EXPECT_EQ(p.lupa->ShownVolts()[7], 100 * VoltsPerStep);
}

// At two sizes: paper round the panes, the trace where its samples put it at every column,
// the spectrum's peak marked where the sine's frequency is.
TEST(Lupa, DrawsTheTraceAndTheSpectrumToScaleAtAnySize) {
    TempDir dir;
    Lupa p(dir);
    Sine(p.state.samples);
    p.W2->ShowStoredBlock(0);
    p.lupa->Toggle();
    for (const QSize size : {QSize(640, 440), QSize(1400, 900)}) {
        p.lupa->resize(size);
        QApplication::processEvents();
        TLupaPlot& plot = p.Plot();
        const QImage picture = p.lupa->Picture();
        ASSERT_EQ(picture.size(), plot.size() * picture.devicePixelRatio());
        EXPECT_EQ(picture.pixel(1, 1) & 0xFFFFFF, 0xFFFFFFu);
        const QRectF pane = plot.TracePane();
        int checked = 0;
        for (double x = pane.left() + 3; x < pane.right() - 3; x += 5) {
            const double t = FromPixel(plot.TimeSpan(), x - pane.left(), pane.width());
            const double at = t / 4e-6, frac = at - std::floor(at);
            const auto i = std::size_t(at);
            const double v =
                (p.state.samples[i] * (1 - frac) + p.state.samples[std::min<size_t>(i + 1, 499)] * frac) *
                VoltsPerStep;
            ASSERT_TRUE(DrawnNear(picture, Where(plot, t, v), QColor(0, 70, 200)))
                << size.width() << " at x " << x;
            ++checked;
        }
        EXPECT_GT(checked, size.width() / 6);
        const QRectF levels = plot.SpectrumPane();
        const SpectrumPeak peak = p.lupa->Spectrum().peaks.at(0);
        const QPointF mark(levels.left() + peak.frequency / (p.lupa->Spectrum().binHz * 250) * levels.width(),
                           levels.bottom() - (peak.level + 100) / 120 * levels.height());
        EXPECT_TRUE(DrawnNear(picture, mark + QPointF(4, 0), QColor(200, 0, 0))) << "the peak's ring";
        if (const char* shot = std::getenv("DRGANIK_LUPA_SHOT"))
            picture.save(QString::fromLocal8Bit(shot) + QString::number(size.width()) + ".png");
    }
    // The spectrum's choices, given (as the session would) and on the window's own boxes.
    p.lupa->SetSpectrumChoice(SpectrumWindow::FlatTop, DbScale::Relative);
    EXPECT_EQ(Control<QComboBox>(*p.lupa, "SpectrumWindow").currentIndex(), 2);
    EXPECT_EQ(Control<QComboBox>(*p.lupa, "DbScale").currentIndex(), 1);
    EXPECT_EQ(p.lupa->Spectrum().peaks.at(0).level, 0);
    Control<QComboBox>(*p.lupa, "SpectrumWindow").setCurrentIndex(1);
    EXPECT_EQ(p.lupa->Window(), SpectrumWindow::Hann);
    EXPECT_EQ(p.lupa->Scale(), DbScale::Relative);
    Control<QComboBox>(*p.lupa, "DbScale").setCurrentIndex(0);
    EXPECT_EQ(p.lupa->Scale(), DbScale::Dbv);
    EXPECT_NEAR(p.lupa->Spectrum().peaks.at(0).level, 20 * std::log10(300 * VoltsPerStep / std::sqrt(2)),
                0.1);
}

// The wheel 10 times in about the pointer and back out, Ctrl+wheel on the voltage, a drag that
// pans, a dragged rectangle, Home and a double click for the whole block.
TEST(Lupa, ZoomPanAndBackToTheWholeBlock) {
    TempDir dir;
    Lupa p(dir);
    Sine(p.state.samples);
    p.W2->ShowStoredBlock(0);
    p.lupa->Toggle();
    QApplication::processEvents();
    TLupaPlot& plot = p.Plot();
    const Span whole = plot.TimeSpan();
    const QRectF pane = plot.TracePane();
    const QPointF pointer(pane.left() + pane.width() * 0.75, pane.center().y());
    const double pointerTime = FromPixel(whole, pointer.x() - pane.left(), pane.width());

    const int tenfold = int(std::lround(120 * std::log(0.1) / std::log(0.8))); // notches of 0.8 each
    Wheel(plot, pointer, tenfold);
    EXPECT_NEAR(plot.TimeSpan().Width(), whole.Width() / 10, whole.Width() * 1e-3);
    EXPECT_NEAR(FromPixel(plot.TimeSpan(), pointer.x() - pane.left(), pane.width()), pointerTime, 1e-12)
        << "the time under the pointer stays";
    EXPECT_EQ(plot.VoltSpan(), (Span{0, 10}));
    EXPECT_TRUE(plot.ReadoutAt(pointer).contains(QStringLiteral("ms;")))
        << plot.ReadoutAt(pointer).toStdString();
    Wheel(plot, pointer, -tenfold);
    EXPECT_NEAR(plot.TimeSpan().lo, whole.lo, 1e-12);
    EXPECT_NEAR(plot.TimeSpan().hi, whole.hi, 1e-12);

    Wheel(plot, pointer, 120 * 3, Qt::ControlModifier);
    EXPECT_NEAR(plot.VoltSpan().Width(), 10 * 0.512, 1e-9);
    EXPECT_NEAR(plot.TimeSpan().Width(), whole.Width(), 1e-12);
    Wheel(plot, pointer, tenfold);
    const Span zoomed = plot.TimeSpan();
    Mouse(plot, QEvent::MouseButtonPress, pointer, Qt::LeftButton);
    Mouse(plot, QEvent::MouseMove, pointer + QPointF(100, 0), Qt::LeftButton);
    Mouse(plot, QEvent::MouseButtonRelease, pointer + QPointF(100, 0), Qt::LeftButton);
    EXPECT_NEAR(plot.TimeSpan().lo, zoomed.lo - 100 / pane.width() * zoomed.Width(), 1e-12)
        << "dragged right: earlier";

    QTest::keyClick(&plot, Qt::Key_Home);
    EXPECT_EQ(plot.TimeSpan(), whole);
    const QPointF from(pane.left() + 100, pane.top() + 50), to(pane.left() + 300, pane.top() + 150);
    Mouse(plot, QEvent::MouseButtonPress, from, Qt::RightButton);
    Mouse(plot, QEvent::MouseMove, to, Qt::RightButton);
    Mouse(plot, QEvent::MouseButtonRelease, to, Qt::RightButton);
    EXPECT_NEAR(plot.TimeSpan().lo, FromPixel(whole, 100, pane.width()), 1e-12);
    EXPECT_NEAR(plot.TimeSpan().hi, FromPixel(whole, 300, pane.width()), 1e-12);
    EXPECT_NEAR(plot.VoltSpan().hi, 10 * (1 - 50 / pane.height()), 1e-9);
    Mouse(plot, QEvent::MouseButtonDblClick, pointer, Qt::LeftButton);
    EXPECT_EQ(plot.TimeSpan(), whole);
    EXPECT_EQ(plot.VoltSpan(), (Span{0, 10}));
}

// A reference taken at 1 ms/dz stays on its own time scale under a block taken at 0,1 ms/dz;
// one read from a data file takes the file's; an unreadable file changes nothing.
TEST(Lupa, TheReferenceIsDrawnToItsOwnScale) {
    TempDir dir;
    Lupa p(dir);
    p.lupa->Toggle();
    Sine(p.state.samples);
    p.W2->ShowStoredBlock(3); // 40 us a sample: the block is 20 ms
    p.lupa->TakeReference();
    ASSERT_TRUE(p.lupa->Reference());
    EXPECT_EQ(p.lupa->Reference()->timebase, 3);
    p.state.samples.fill(100);
    p.W2->ShowStoredBlock(0); // 4 us a sample: the whole view is 2 ms, samples 0..50 of the reference
    QApplication::processEvents();
    TLupaPlot& plot = p.Plot();
    const QImage picture = p.lupa->Picture();
    const SampleBuffer ref = p.lupa->Reference()->samples;
    for (int i : {5, 20, 37})
        EXPECT_TRUE(
            DrawnNear(picture, Where(plot, i * 40e-6, ref[size_t(i)] * VoltsPerStep), QColor(230, 120, 0)))
            << "reference sample " << i;
    EXPECT_TRUE(DrawnNear(picture, Where(plot, 1e-3, 100 * VoltsPerStep), QColor(0, 70, 200)));

    const std::string file = dir.File("wzór.drg");
    SampleBuffer stored{};
    stored[0] = 700;
    TempDir::Put(file, FormatDataFile(stored, 5));
    ASSERT_TRUE(p.lupa->LoadReference(QString::fromStdString(file)));
    EXPECT_EQ(p.lupa->Reference()->timebase, 5);
    EXPECT_EQ(p.lupa->Reference()->samples[0], 700);
    EXPECT_EQ(p.lupa->Reference()->label, "wzór.drg");
    const auto kept = p.lupa->Reference();
    TempDir::Put(dir.File("broken.drg"), "12\r\nabc\r\n");
    EXPECT_FALSE(p.lupa->LoadReference(QString::fromStdString(dir.File("broken.drg"))));
    EXPECT_EQ(p.lupa->Reference(), kept);
    p.lupa->SetReference(std::nullopt);
    EXPECT_FALSE(p.lupa->Reference());
    EXPECT_TRUE(p.lupa->SetReference(kept));
    EXPECT_EQ(p.lupa->Reference(), kept) << "given back as the session keeps it";
    ReferenceTrace wrong = *kept;
    wrong.timebase = 16;
    EXPECT_FALSE(p.lupa->SetReference(wrong)) << "no time scale to draw it on";
    EXPECT_EQ(p.lupa->Reference(), kept);
}

// 64 blocks of the simulator's noisy sine: the noise round the sine about 8 times lower in the
// average, which the measurements take while it is on; the picture and the table exported.
TEST(Lupa, AveragingSixtyFourNoisyBlocksAndExport) {
    TempDir dir;
    Simulator sim(dir, {"--signal", "sine", "--freq", "1000", "--amp", "3", "--noise", "0.3", "--fast"});
    TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + sim.link + "\n");
    Lupa p(dir);
    p.W2->Press(TW2::ToolButton::Connect);
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.ProbeCountdown == 0; }, kLong)) << "no probe reply";
    p.W2->Press(TW2::ToolButton::TriggerRising);
    p.W2->TurnKnob(TW2::ToolKnob::Level, 512);
    p.lupa->Toggle();
    p.measurements->Toggle();
    p.lupa->SetAveraging(64);
    std::vector<double> singleNoise;
    const auto show = p.W1->OnBlockShown;
    p.W1->OnBlockShown = [&](int timebase) {
        show(timebase);
        std::vector<double> v(500);
        for (int i = 0; i < 500; ++i)
            v[size_t(i)] = p.state.samples[size_t(i)] * VoltsPerStep;
        singleNoise.push_back(NoiseRms(v, 250));
    };
    p.W2->Press(TW2::ToolButton::Start);
    ASSERT_TRUE(RunUntil([&] { return p.lupa->AveragedBlocks() == 64; }, 60000)) << p.lupa->AveragedBlocks();
    p.W2->Press(TW2::ToolButton::Stop);
    ASSERT_TRUE(RunUntil([&] { return Idle(p.state.acq) && !p.lupa->RefreshPending(); }, kLong));
    ASSERT_TRUE(p.lupa->ShowsAverage());
    EXPECT_LT(p.lupa->Refreshes(), int(singleNoise.size())) << "not every live block is drawn";
    const std::vector<double> averaged(p.lupa->ShownVolts().begin(), p.lupa->ShownVolts().end());
    double single = 0;
    for (std::size_t n = singleNoise.size() - 64; n < singleNoise.size(); ++n)
        single += singleNoise[n] / 64;
    const double ratio = single / NoiseRms(averaged, 250);
    std::printf("noise RMS: %.4f V a block, %.4f V averaged over 64: %.2f times lower\n", single,
                NoiseRms(averaged, 250), ratio);
    EXPECT_NEAR(single, 0.3 / std::sqrt(3), 0.02) << "uniform noise of 0,3 V either way";
    EXPECT_GT(ratio, 6.5);
    EXPECT_LT(ratio, 9.5);
    const MeasurementTexts expected =
        TextsOf(Measure(p.lupa->AveragedBlock(), 0), QLocale().decimalPoint().toStdString());
    ASSERT_TRUE(RunUntil(
        [&] {
            return p.measurements->ReadingText(TMeasurementsWindow::Reading::Vmax).toStdString() ==
                   expected.Vmax;
        },
        kLong))
        << "the measurements take the average";

    p.lupa->TakeReference();
    EXPECT_EQ(p.lupa->Reference()->samples, p.lupa->AveragedBlock()) << "the block shown is the average";

    p.lupa->AskExportName = [&](bool picture) {
        return QString::fromStdString(dir.File(picture ? "l.png" : "l.csv"));
    };
    p.lupa->ExportPicture();
    p.lupa->ExportTable();
    const QImage png(QString::fromStdString(dir.File("l.png")));
    EXPECT_EQ(png.size(), p.Plot().size() * p.Plot().devicePixelRatio());
    std::ifstream csv(dir.File("l.csv"), std::ios::binary);
    const std::string table((std::istreambuf_iterator<char>(csv)), std::istreambuf_iterator<char>());
    EXPECT_EQ(table, FormatCsv(p.lupa->ShownVolts(), 0));
    EXPECT_NE(table, FormatCsv(p.state.samples, 0)) << "the average, not the last block";
    if (const char* shot = std::getenv("DRGANIK_LUPA_SHOT")) {
        SampleBuffer square{};
        for (int i = 0; i < 500; ++i)
            square[size_t(i)] = i % 250 < 125 ? 800 : 200;
        p.lupa->SetReference(ReferenceTrace{square, 1, 0, "prostokąt.drg"});
        p.lupa->grab().save(QString::fromLocal8Bit(shot) + "window.png");
    }
}
