// The main window's labels, bevels, marker items and status bar, placed as its form places them.

#include "ErrorBox.h"
#include "Main.h"
#include "MarkerPictures.h"
#include "ProgramState.h"
#include "Protocol.h"
#include "RangeTables.h"
#include "ScreenGeometry.h"

#include <stdexcept>

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, QRect place, const QString& text, Qt::Alignment align,
                  const QFont& font) {
    auto* l = Place<QLabel>(parent, name, place.x(), place.y(), place.width(), place.height());
    l->setText(text);
    l->setAlignment(align);
    l->setFont(font);
    return l;
}

template <class W> W* PlaceOver(QWidget* parent, const char* name, const screen::Rect& r) {
    return Place<W>(parent, name, r.left, r.top, r.Width(), r.Height());
}

} // namespace

// Created in this order, which is also their stacking order.
void TW1::BuildLayout() {
    BuildFramesAndScales();
    BuildPointerItems();
    BuildStatusBar();
}

// The views' frames and titles, and the scale labels around them.
void TW1::BuildFramesAndScales() {
    auto* bevel5 = PlaceOver<TSmoothBevel>(this, "SmoothBevel5", screen::MarkerTrack);
    bevel5->setLineWidth(1);
    Place<TSmoothBevel>(this, "SmoothBevel4", 0, 320, 577, 180)->SetRaised(true);
    SmoothBevel3 = Place<TSmoothBevel>(this, "SmoothBevel3", 0, 0, 580, 320);
    SmoothBevel3->SetRaised(true);
    Label1 = MakeLabel(this, "Label1", {32, 4, 497, 17}, QStringLiteral("Przebieg czasowy"), Qt::AlignHCenter,
                       UiFont(11, true));

    const QFont scale = SerifFont(9);
    for (int i = 0; i < 11; ++i) {
        const QByteArray name = "V" + QByteArray::number(i + 1);
        V[size_t(i)] = MakeLabel(this, name.constData(), {0, 32 + 24 * i, 20, 9}, QString(),
                                 Qt::AlignRight | Qt::AlignBottom, scale);
    }
    SmoothBevel1 = PlaceOver<TSmoothBevel>(this, "SmoothBevel1", screen::Framed(screen::TimeViewRect));
    T[0] = MakeLabel(this, "t1", {30, 288, 30, 11}, QStringLiteral("0ms"), Qt::AlignLeft, scale);
    T[0]->adjustSize();
    for (int i = 1; i < 5; ++i) {
        const QByteArray name = "t" + QByteArray::number(i + 1);
        T[size_t(i)] = MakeLabel(this, name.constData(), {140 + 124 * (i - 1), 288, 30, 11}, QString(),
                                 Qt::AlignHCenter, scale);
    }
    PlaceOver<TSmoothBevel>(this, "SmoothBevel2", screen::Framed(screen::SpectrumViewRect));
    MakeLabel(this, "Label2", {32, 328, 497, 13}, QStringLiteral("Analiza częstotliwości"), Qt::AlignHCenter,
              UiFont(11, true));
    const auto& percents = screen::SpectrumPercents;
    for (int i = 0; i < 4; ++i) {
        const QByteArray name = "Label" + QByteArray::number(i + 3);
        MakeLabel(this, name.constData(), {0, 344 + 40 * i, 22, 11}, QString::fromLatin1(percents[i]),
                  Qt::AlignRight, scale);
    }
}

// The mouse area over the time view, the frequency labels, the marker items and the level line.
void TW1::BuildPointerItems() {
    const QFont scale = SerifFont(9);
    Image2 = PlaceOver<TMouseArea>(this, "Image2", screen::TimeViewRect);
    Image2->setCursor(Qt::CrossCursor); // the mouse area covers the view's bevel
    Image2->OnMouseMove = [this](ShiftState s, int x, int y) {
        errors_.Run([&] {
            if (s.buttons == Qt::NoButton)
                drag_ = Drag::None; // a release outside the window
            if (ContinueDrag(y))
                PointerReadout(std::clamp(x, 0, screen::Columns), y);
            else
                Image2MouseMove(s, x, y);
        });
    };
    Image2->OnMouseDown = [this](ShiftState s, int x, int y) {
        errors_.Run([&] {
            if (BeginViewDrag(s, y))
                PointerReadout(x, y);
            else
                Image2MouseDown(s, x, y);
        });
    };
    Image2->OnMouseUp = [this] { drag_ = Drag::None; };
    Image2->OnWheel = [this](Qt::KeyboardModifiers keys, int notches) {
        if (keys == Qt::ControlModifier)
            errors_.Run([&] { StepPosition(notches); });
        if (keys == (Qt::ControlModifier | Qt::ShiftModifier))
            errors_.Run([&] { StepPosition(notches * PositionShiftStep); });
    };
    // The volt scale: dragged, it moves the view; a double click brings 0 V back to the bottom.
    VoltScale = Place<TMouseArea>(this, "VoltScale", 0, screen::TimeViewRect.top - 4, screen::TickRight - 4,
                                  screen::TimeRows + 8);
    VoltScale->setCursor(Qt::SizeVerCursor);
    VoltScale->setToolTip(QStringLiteral("Przeciągnij, aby przesunąć przebieg w pionie; dwuklik: od 0 V."));
    VoltScale->OnMouseDown = [this](ShiftState s, int, int y) {
        errors_.Run([&] {
            if (s.doubleClick)
                return SetPosition(0);
            if (s.buttons == Qt::LeftButton) {
                drag_ = Drag::Position;
                dragFromY_ = y;
                dragFromMv_ = state_.positionMv;
            }
        });
    };
    VoltScale->OnMouseMove = [this](ShiftState s, int, int y) {
        if (s.buttons == Qt::NoButton)
            drag_ = Drag::None;
        errors_.Run([&] { ContinueDrag(y); });
    };
    VoltScale->OnMouseUp = [this] { drag_ = Drag::None; };
    VoltScale->OnWheel = Image2->OnWheel;
    const auto edgeNote = [this](const char* name, int top) {
        auto* note = Place<QLabel>(this, name, screen::TimeViewRect.right - 64, top, 62, 13);
        note->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        note->setFont(UiFont(10));
        note->setAttribute(Qt::WA_TransparentForMouseEvents);
        QPalette warm = note->palette();
        warm.setColor(QPalette::WindowText, QColor(0xFF, 0xD0, 0x40));
        note->setPalette(warm);
        note->hide();
        return note;
    };
    Note = Place<QLabel>(this, "Note", screen::TimeViewRect.left + 4, screen::TimeViewRect.top + 2, 300, 14);
    Note->setFont(UiFont(10, true));
    Note->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette bright = Note->palette();
    bright.setColor(QPalette::WindowText, Qt::white);
    Note->setPalette(bright);
    Note->hide();
    noteTimer_ = new QTimer(this);
    noteTimer_->setSingleShot(true);
    noteTimer_->setInterval(6000); // long enough to read twice
    connect(noteTimer_, &QTimer::timeout, Note, &QWidget::hide);
    AboveNote = edgeNote("AboveNote", screen::TimeViewRect.top + 1);
    BelowNote = edgeNote("BelowNote", screen::TimeViewRect.bottom - 14);
    const int frequencyLefts[] = {14, 134, 262, 390, 510};
    for (int i = 0; i < 5; ++i) {
        const QByteArray name = "F" + QByteArray::number(i + 1);
        F[size_t(i)] = MakeLabel(this, name.constData(), {frequencyLefts[i], 480, 40, 13}, QString(),
                                 Qt::AlignHCenter, scale);
    }
    auto* track = PlaceOver<QWidget>(this, "Track", screen::MarkerTrack);
    track->setCursor(Qt::PointingHandCursor);
    track->setToolTip(QStringLiteral("Lewy klawisz myszy ustawia znacznik A, prawy znacznik B."));

    // Marker items: hidden until the marker buttons show them; clicks pass through to Image2.
    const auto item = [](auto* w, const QImage& picture) {
        w->SetPicture(picture);
        w->setEnabled(false);
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        w->hide();
        return w;
    };
    const int markerLeft = screen::MarkerPictureLeft(-1);
    const int markerTop = screen::MarkerTrack.top;
    const int levelLeft = screen::ViewOrigin.x;
    const int levelTop = screen::RowY(0);
    ZnA = item(Place<TImage>(this, "ZnA", markerLeft, markerTop, 10, 284), MarkerLinePicture(MarkerAColor));
    ZnB = item(Place<TImage>(this, "ZnB", markerLeft, markerTop, 10, 284), MarkerLinePicture(MarkerBColor));
    ZnAY = item(Place<TImage>(this, "ZnAY", levelLeft, levelTop, 508, 3), MarkerLevelPicture(MarkerAColor));
    ZnBY = item(Place<TImage>(this, "ZnBY", levelLeft, levelTop, 508, 3), MarkerLevelPicture(MarkerBColor));
    LOdlX = Place<TShapeControl>(this, "LOdlX", screen::ViewOrigin.x, 301, 1, 1);
    LOdlY = Place<TShapeControl>(this, "LOdlY", 537, screen::TimeViewRect.bottom, 1, 1);
    LabelLodlX =
        MakeLabel(this, "LabelLodlX", {40, 304, 40, 13}, QStringLiteral("0"), Qt::AlignHCenter, scale);
    LabelLodlY = MakeLabel(this, "LabelLodlY", {542, 272, 33, 13}, QStringLiteral("0"), Qt::AlignLeft, scale);
    for (QWidget* w : std::initializer_list<QWidget*>{LOdlX, LOdlY, LabelLodlX, LabelLodlY}) {
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        w->hide();
    }
    TriggerLine = Place<TImage>(this, "Image1", screen::TickRight, 277, screen::Columns, 1);
    TriggerLine->SetPicture(TriggerLinePicture());
    TriggerLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    TriggerLine->hide();
}

// The status bar, the reception bar in it and the note that takes the bar's place.
void TW1::BuildStatusBar() {
    const auto centre = Qt::AlignHCenter;
    // The start texts are those of the start state, from the tables that give them later.
    StatusBar1 = new TStatusBar(
        this, {{30, "V/dz:", centre, false},
               {30, QString::fromUtf8(VoltTable[0].Text), centre, true},
               {30, "T/dz:", centre, false},
               {40, QString::fromUtf8(TimebaseTable[0].Text), centre, true},
               {40, QString::fromLatin1(TriggerModeText(state_.trigger.TriggerMode)), centre, true},
               {40, "Poziom:", Qt::AlignLeft, false},
               {50, QString::fromStdString(TriggerLevelText(state_.trigger)), centre, true},
               {45, "Status:", Qt::AlignLeft, false},
               {110, "", Qt::AlignLeft, true},
               {40, "Com1", centre, true},
               {50, "drg.example", centre, false}});
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setGeometry(0, 500, screen::ClientWidth, 19);
    ProgressBar1 = Place<TProgressBar>(this, "ProgressBar1", 304, 502, 110, 16);
    ProgressBar1->SetRange(1, protocol::BlockBytes);
    // The reception bar is empty while a trigger is awaited; the note takes its place quietly.
    WaitingNote = Place<QLabel>(this, "WaitingNote", 305, 503, 108, 14);
    WaitingNote->setText(QStringLiteral("Czekam na wyzwolenie…"));
    // As small as it takes to fit the box, so that no letter is cut at either end.
    WaitingNote->setFont(FittingFont(UiFont(10), WaitingNote->text(), WaitingNote->width() - 4));
    WaitingNote->setAlignment(Qt::AlignCenter);
    WaitingNote->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette quiet = WaitingNote->palette();
    quiet.setColor(QPalette::WindowText, QColor(0x60, 0x60, 0x60));
    WaitingNote->setPalette(quiet);
    WaitingNote->hide();
}

QString TW1::ScaleText(Scale scale, int index) const {
    switch (scale) {
    case Scale::Volts:
        return V.at(size_t(index))->text();
    case Scale::Times:
        return T.at(size_t(index))->text();
    case Scale::Frequencies:
        return F.at(size_t(index))->text();
    }
    throw std::logic_error("no such scale");
}

const QWidget& TW1::MarkerItem(MarkerPin which) const {
    switch (which) {
    case MarkerPin::A:
        return *ZnA;
    case MarkerPin::B:
        return *ZnB;
    case MarkerPin::AY:
        return *ZnAY;
    case MarkerPin::BY:
        return *ZnBY;
    }
    throw std::logic_error("no such marker");
}
