// The tool window's controls, placed as its form places them.

#include "Glyphs.h"
#include "RangeTables.h"
#include "Toolbox.h"
#include "TriggerLevel.h"

#include <QFontMetrics>
#include <stdexcept>
#include <vector>

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, int left, int top, const QString& text,
                  bool bold = false) {
    auto* l = Place<QLabel>(parent, name, left, top, 10, 10);
    l->setText(text);
    if (bold)
        l->setFont(UiFont(11, true));
    l->adjustSize();
    return l;
}

struct DialLabel {
    int left, top;
    const char* text;
};

// The captions around a knob, one per position, in the largest size up to 10 pixels
// at which no two run together (a gap of 2 pixels at least).
void DialLabels(QWidget* panel, const std::vector<DialLabel>& labels) {
    const auto apart = [&](const QFont& font) {
        const QFontMetrics fm(font);
        std::vector<QRect> taken;
        for (const auto& d : labels) {
            const QString text = QString::fromUtf8(d.text);
            const QRect r(d.left, d.top, fm.horizontalAdvance(text) + 2, fm.height());
            for (const QRect& other : taken)
                if (r.intersects(other))
                    return false;
            taken.push_back(r);
        }
        return true;
    };
    QFont font = UiFont(10);
    while (font.pixelSize() > 6 && !apart(font))
        font.setPixelSize(font.pixelSize() - 1);
    for (const auto& d : labels) {
        auto* l = Place<QLabel>(panel, "", d.left, d.top, 10, 10);
        l->setFont(font);
        l->setText(QString::fromUtf8(d.text));
        l->adjustSize();
    }
}

// A knob's captions, the texts of its table's rows at the given places, position 0 first.
template <class Row, size_t N>
std::vector<DialLabel> TableCaptions(const std::array<Row, N>& table, const std::array<QPoint, N>& places) {
    std::vector<DialLabel> labels;
    for (size_t i = 0; i < N; ++i)
        labels.push_back({places[i].x(), places[i].y(), table[i].Text});
    return labels;
}

// The last position of a knob that walks a table.
template <class Row, size_t N> constexpr int LastPosition(const std::array<Row, N>&) {
    return int(N) - 1;
}

TSmoothFlatButton* GlyphButton(QWidget* parent, const char* name, int left, const QImage& glyph,
                               const char* hint) {
    auto* b = Place<TSmoothFlatButton>(parent, name, left, 2, 28, 28);
    b->SetGlyph(glyph);
    if (hint)
        b->setToolTip(QString::fromUtf8(hint));
    return b;
}

TImage* Picture(QWidget* parent, const char* name, QRect place, const QImage& picture) {
    auto* img = Place<TImage>(parent, name, place.x(), place.y(), place.width(), place.height());
    img->SetPicture(picture);
    img->SetCenter(true);
    return img;
}

// A knob as its form loads it: limits, position and pictures first, the change handler later.
TKnob* MakeKnob(QWidget* parent, const char* name, int left, int top, int min, int max, int baseAngle,
                int radius, const QImage& handle) {
    auto* k = Place<TKnob>(parent, name, left, top, 85, 85);
    k->BeginLoading();
    k->SetMaxValue(max);
    k->SetMinValue(min);
    k->SetPosition(min);
    QImage back(85, 85, QImage::Format_Mono); // all white, and white is transparent: the panel shows
    back.setColorCount(2);
    back.setColor(0, qRgb(0, 0, 0));
    back.setColor(1, qRgb(255, 255, 255));
    back.fill(1);
    k->SetBackImage({back, std::nullopt});
    k->SetHandleImage({handle, std::nullopt});
    k->SetBaseAngle(baseAngle);
    k->SetRadius(radius);
    k->EndLoading();
    return k;
}

} // namespace

void TW2::BuildLayout() {
    BuildTopPanel();
    BuildVoltPanel();
    BuildTimePanel();
    BuildTriggerPanels();
    BuildCursorPanels();
}

void TW2::BuildTopPanel() {
    auto* panel = Place<TSmoothPanel>(this, "SmoothPanel1", 0, 0, 161, 57);
    SmoothFlatButton5 = GlyphButton(panel, "SmoothFlatButton5", 2, ConnectGlyph(), "Połącz z drganikiem");
    SmoothFlatButton5->setCheckable(true);
    SmoothFlatButton7 = GlyphButton(panel, "SmoothFlatButton7", 38, OpenGlyph(), "Otwórz plik z danymi");
    SmoothFlatButton8 = GlyphButton(panel, "SmoothFlatButton8", 66, SaveGlyph(), "Zapisz dane do pliku");
    SmoothFlatButton12 = GlyphButton(panel, "SmoothFlatButton12", 94, PrintGlyph(), nullptr);
    SmoothFlatButton6 = GlyphButton(panel, "SmoothFlatButton6", 128, SettingsGlyph(), "Ustawienia");

    const struct {
        TSmoothButton** button;
        const char* name;
        int left, width;
        const char* caption;
        const char* hint;
        bool enabled;
    } buttons[] = {{&SmoothButton1, "SmoothButton1", 0, 57, "Start", "Rozpocznij", false},
                   {&SmoothButton2, "SmoothButton2", 56, 57, "Stop", "Stop", false},
                   {&SmoothButton3, "SmoothButton3", 112, 48, "Reset", "Reset", true}};
    for (const auto& b : buttons) {
        *b.button = Place<TSmoothButton>(panel, b.name, b.left, 34, b.width, 22);
        (*b.button)->setText(QString::fromUtf8(b.caption));
        (*b.button)->setToolTip(QString::fromUtf8(b.hint));
        (*b.button)->setEnabled(b.enabled);
    }
}

void TW2::BuildVoltPanel() {
    auto* panel = Place<TSmoothPanel>(this, "Napiecie", 0, 57, 161, 120);
    MakeLabel(panel, "Label5", 72, 8, QStringLiteral("V/dz"));
    Picture(panel, "Image2", {32, 16, 100, 100}, DialFace(100, int(VoltTable.size()), 45, 315));
    Picture(panel, "Image3", {40, 24, 85, 85}, KnobBody(85));
    Knob1 = MakeKnob(panel, "Knob1", 40, 24, 0, LastPosition(VoltTable), 45, 38, KnobHandle(10, false));
    Knob1->setCursor(Qt::PointingHandCursor);
    DialLabels(panel, TableCaptions(VoltTable, {{{24, 100}, {16, 16}, {128, 16}, {128, 100}}}));
}

void TW2::BuildTimePanel() {
    auto* panel = Place<TSmoothPanel>(this, "Dzialki", 0, 178, 161, 159);
    MakeLabel(panel, "Label6", 72, 8, QStringLiteral("T/dz"));
    Picture(panel, "Image1", {32, 40, 100, 100}, DialFace(100, int(TimebaseTable.size()), 25, 335));
    Picture(panel, "Image4", {40, 48, 85, 85}, KnobBody(85));
    Knob2 = MakeKnob(panel, "Knob2", 40, 48, 0, LastPosition(TimebaseTable), 25, 38, KnobHandle(10, false));
    Knob2->setCursor(Qt::PointingHandCursor);
    // 0,1ms at the bottom, round clockwise to 10s.
    DialLabels(panel, TableCaptions(TimebaseTable, {{{40, 140},
                                                     {4, 128},
                                                     {4, 104},
                                                     {4, 84},
                                                     {4, 64},
                                                     {4, 40},
                                                     {37, 28},
                                                     {62, 28},
                                                     {88, 28},
                                                     {112, 28},
                                                     {136, 40},
                                                     {136, 64},
                                                     {136, 84},
                                                     {136, 104},
                                                     {136, 128},
                                                     {104, 140}}}));
}

void TW2::BuildTriggerPanels() {
    auto* panel3 = Place<TSmoothPanel>(this, "SmoothPanel3", 0, 337, 73, 118);
    auto* title = Place<QLabel>(panel3, "Label13", 1, 8, 73, 13);
    title->setText(QStringLiteral("Trigger"));
    title->setFont(UiFont(11, true));
    title->setAlignment(Qt::AlignHCenter);
    Przel = Place<TImage>(panel3, "Przel", 16, 32, 16, 75);
    Przel->setCursor(Qt::PointingHandCursor);
    Przel->setFocusPolicy(Qt::TabFocus); // stepped by Space or Enter as by a click
    SmoothFlatButton9 = Place<TSmoothFlatButton>(panel3, "SmoothFlatButton9", 32, 32, 25, 25);
    SmoothFlatButton2 = Place<TSmoothFlatButton>(panel3, "SmoothFlatButton2", 32, 56, 25, 23);
    SmoothFlatButton2->SetGlyph(RisingEdgeGlyph());
    SmoothFlatButton1 = Place<TSmoothFlatButton>(panel3, "SmoothFlatButton1", 32, 80, 25, 25);
    SmoothFlatButton1->setText(QStringLiteral("OFF"));
    SmoothFlatButton1->setFont(UiFont(9));

    auto* panel5 = Place<TSmoothPanel>(this, "SmoothPanel5", 73, 337, 88, 118);
    auto* heading = Place<QLabel>(panel5, "Label11", 0, 8, 87, 26);
    heading->setText(QStringLiteral("Poziom\nwyzwalania"));
    heading->setFont(UiFont(11, true));
    heading->setAlignment(Qt::AlignHCenter);
    Label14 = Place<QLabel>(panel5, "Label14", 12, 34, 60, 13);
    Label14->setText(QStringLiteral("10 mV"));
    Label14->setFont(UiFont(11, true));
    Label14->setAlignment(Qt::AlignHCenter);
    Picture(panel5, "Image5", {0, 25, 85, 85}, KnobBody(40));
    Knob3 = MakeKnob(panel5, "Knob3", 0, 25, MinTriggerLevel, MaxTriggerLevel, 30, 22, KnobHandle(6, true));
    Knob3->SetShiftStep(LevelShiftStep);
    RepeatButton1 = Place<TRepeatSpeedButton>(panel5, "RepeatButton1", 18, 88, 25, 18);
    RepeatButton2 = Place<TRepeatSpeedButton>(panel5, "RepeatButton2", 44, 88, 25, 18);
    RepeatButton1->setText(QStringLiteral("+"));
    RepeatButton2->setText(QStringLiteral("-"));
    for (auto* b : {RepeatButton1, RepeatButton2})
        b->setFont(SerifFont(19, true));
}

void TW2::BuildCursorPanels() {
    auto* panel4 = Place<TSmoothPanel>(this, "SmoothPanel4", 0, 455, 73, 64);
    MakeLabel(panel4, "Label27", 8, 8, QStringLiteral("Pozycja:"), true);
    MakeLabel(panel4, "Label28", 8, 24, QStringLiteral("X:"));
    MakeLabel(panel4, "Label29", 8, 40, QStringLiteral("Y:"));
    lX = Place<QLabel>(panel4, "lX", 24, 24, 49, 13);
    lY = Place<QLabel>(panel4, "lY", 24, 40, 49, 13);

    auto* panel2 = Place<TSmoothPanel>(this, "SmoothPanel2", 73, 455, 88, 64);
    auto* title = Place<QLabel>(panel2, "Label12", 8, 6, 65, 16);
    title->setText(QStringLiteral("Kursory"));
    title->setFont(UiFont(11, true));
    title->setAlignment(Qt::AlignHCenter);
    const struct {
        TSmoothFlatButton** button;
        const char* name;
        int left, top;
        const char* caption;
        const char* hint;
    } buttons[] = {{&SmoothFlatButton3, "SmoothFlatButton3", 5, 23, "Włącz", "Pokaż / ukryj znaczniki"},
                   {&SmoothFlatButton4, "SmoothFlatButton4", 43, 23, "Wyłącz", "Wyzeruj znaczniki"},
                   {&btWyzeruj, "btWyzeruj", 5, 40, "Wyzeruj", nullptr},
                   {&btMinMax, "btMinMax", 43, 40, "MinMax", nullptr}};
    for (const auto& b : buttons) {
        *b.button = Place<TSmoothFlatButton>(panel2, b.name, b.left, b.top, 38, 17);
        (*b.button)->setText(QString::fromUtf8(b.caption));
        (*b.button)->setFont(SerifFont(8));
        if (b.hint)
            (*b.button)->setToolTip(QString::fromUtf8(b.hint));
        (*b.button)->setEnabled(false);
    }
}

QAbstractButton& TW2::ButtonControl(ToolButton which) const {
    switch (which) {
    case ToolButton::Connect:
        return *SmoothFlatButton5;
    case ToolButton::Open:
        return *SmoothFlatButton7;
    case ToolButton::Save:
        return *SmoothFlatButton8;
    case ToolButton::Print:
        return *SmoothFlatButton12;
    case ToolButton::Settings:
        return *SmoothFlatButton6;
    case ToolButton::Start:
        return *SmoothButton1;
    case ToolButton::Stop:
        return *SmoothButton2;
    case ToolButton::Reset:
        return *SmoothButton3;
    case ToolButton::TriggerFalling:
        return *SmoothFlatButton9;
    case ToolButton::TriggerRising:
        return *SmoothFlatButton2;
    case ToolButton::TriggerOff:
        return *SmoothFlatButton1;
    case ToolButton::LevelUp:
        return *RepeatButton1;
    case ToolButton::LevelDown:
        return *RepeatButton2;
    case ToolButton::MarkersOn:
        return *SmoothFlatButton3;
    case ToolButton::MarkersOff:
        return *SmoothFlatButton4;
    case ToolButton::MarkersReset:
        return *btWyzeruj;
    case ToolButton::MarkersToExtremes:
        return *btMinMax;
    }
    throw std::logic_error("no such button");
}

TKnob& TW2::KnobControl(ToolKnob which) const {
    switch (which) {
    case ToolKnob::Volts:
        return *Knob1;
    case ToolKnob::Time:
        return *Knob2;
    case ToolKnob::Level:
        return *Knob3;
    }
    throw std::logic_error("no such knob");
}
