#include "SessionMemory.h"

#include "Program.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

WindowPlace PlaceOf(const QWidget& window) {
    WindowPlace place;
    place.open = window.isVisible();
    if (!window.windowHandle())
        return place; // never shown: it has no place of its own yet
    // The client's place: a frame's is known only once a window manager has framed the window,
    // and given back before that it would move the window by the frame's height at every start.
    place.x = window.geometry().x();
    place.y = window.geometry().y();
    place.width = window.width();
    place.height = window.height();
    return place;
}

void RestorePlace(QWidget& window, const WindowPlace& place, void (*show)(QWidget&)) {
    if (!place.open)
        return;
    show(window);
    if (!place.x || !place.y)
        return;
    const QSize size = place.width && place.height ? QSize(*place.width, *place.height)
                                                         .expandedTo(window.minimumSize())
                                                         .boundedTo(window.maximumSize())
                                                   : window.size();
    // A screen unplugged since would take the window out of sight: then it stays where it was shown.
    if (!QGuiApplication::screenAt(QRect(QPoint(*place.x, *place.y), size).center()))
        return;
    window.setGeometry(QRect(QPoint(*place.x, *place.y), size));
}

SessionState TakeSession(const Program& p) {
    SessionState s;
    s.volt = p.W2->Knob(TW2::ToolKnob::Volts).Position();
    s.timebase = p.W2->Knob(TW2::ToolKnob::Time).Position();
    s.triggerMode = p.state.trigger.TriggerMode;
    s.level = p.W2->Knob(TW2::ToolKnob::Level).Position();
    s.positionMv = p.state.positionMv;
    s.windows["Pomiary"] = PlaceOf(*p.measurements);
    s.windows["Przechwytywanie"] = PlaceOf(*p.captureWindow);
    s.windows["Lupa"] = PlaceOf(*p.lupa);
    s.folder = p.W2->FileFolder().toStdString();
    s.averaging = p.lupa->AveragingLength();
    s.spectrumWindow = int(p.lupa->Window());
    s.dbScale = int(p.lupa->Scale());
    s.reference = p.lupa->Reference();
    return s;
}

void RestoreSession(Program& p, const SessionState& s) {
    TW2& w2 = *p.W2;
    w2.TurnKnob(TW2::ToolKnob::Volts, s.volt);
    w2.TurnKnob(TW2::ToolKnob::Time, s.timebase);
    if (s.triggerMode != p.state.trigger.TriggerMode)
        w2.SetTriggerModeTo(s.triggerMode);
    w2.TurnKnob(TW2::ToolKnob::Level, s.level);
    p.W1->SetPosition(s.positionMv);
    w2.SetFileFolder(QString::fromStdString(s.folder));
    const auto place = [&s](const char* name) {
        const auto found = s.windows.find(name);
        return found == s.windows.end() ? WindowPlace{} : found->second;
    };
    RestorePlace(*p.measurements, place("Pomiary"),
                 [](QWidget& w) { static_cast<TMeasurementsWindow&>(w).Toggle(); });
    RestorePlace(*p.captureWindow, place("Przechwytywanie"),
                 [](QWidget& w) { static_cast<TCaptureWindow&>(w).Toggle(); });
    p.lupa->SetAveraging(s.averaging);
    p.lupa->SetSpectrumChoice(SpectrumWindow(s.spectrumWindow), DbScale(s.dbScale));
    p.lupa->SetReference(s.reference);
    RestorePlace(*p.lupa, place("Lupa"), [](QWidget& w) { static_cast<TLupaWindow&>(w).Toggle(); });
}
