// The main window's two views: the acquisition cycle's drawing steps, handed to the composer.

#include "Main.h"
#include "ProgramState.h"

#include <QPaintEvent>
#include <QPainter>

void TW1::ShowFastTrace() {
    composer_.ShowTrace(state_.samples, state_.volt.MvPerRow, state_.positionMv);
    update(TimeViewRect);
    ShowOutOfView();
}

void TW1::DrawSpectrum() {
    composer_.ShowSpectrum(state_.spectrum, state_.volt.SpectrumDivisor, state_.settings.FW, spectrumPen_);
    update(SpectrumViewRect);
}

void TW1::paintEvent(QPaintEvent* e) {
    // On a high-density screen each pixel becomes a block of device pixels: no smoothing, crisp.
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    composer_.Paint(p, e->region());
}
