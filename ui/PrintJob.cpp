#include "PrintJob.h"

#include "Printing.h"
#include "ProgramState.h"
#include "RangeTables.h"
#include "ScreenGeometry.h"

#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <stdexcept>

namespace {

PrintInputs JobInputs(const ProgramState& state, int labelledTimebase) {
    PrintInputs in;
    in.samples = &state.samples;
    in.spectrum = &state.spectrum;
    in.FullScaleVolts = state.volt.FullScaleVolts;
    in.MvPerRow = state.volt.MvPerRow;
    in.PositionMv = state.positionMv;
    in.SpectrumDivisor = state.volt.SpectrumDivisor;
    in.LW = state.settings.LW;
    const AxisLabels labels = AxisLabelTexts(labelledTimebase);
    for (size_t i = 0; i < 5; ++i) {
        in.timeLabels[i] = QString::fromStdString(labels.time[i]);
        in.freqLabels[i] = QString::fromStdString(labels.frequency[i]);
    }
    for (std::size_t i = 0; i < in.percentLabels.size(); ++i)
        in.percentLabels[i] = QString::fromLatin1(screen::SpectrumPercents[i]);
    in.decimalSeparator = QLocale().decimalPoint();
    return in;
}

} // namespace

void PrintJob(QPrinter& printer, const ProgramState& state, int labelledTimebase) {
    const PrintInputs in = JobInputs(state, labelledTimebase);
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("Nie można rozpocząć wydruku: drukarka jest niedostępna.");
    PrintViews(painter, {printer.width(), printer.height()}, in);
    if (!painter.end())
        throw std::runtime_error("Wydruk nie powiódł się: błąd systemu drukowania.");
}
