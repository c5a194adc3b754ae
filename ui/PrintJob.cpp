#include "PrintJob.h"

#include "Printing.h"
#include "ProgramState.h"
#include "RangeTables.h"

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
    in.SpectrumDivisor = state.volt.SpectrumDivisor;
    in.LW = state.settings.LW;
    const AxisLabels labels = AxisLabelTexts(labelledTimebase);
    for (size_t i = 0; i < 5; ++i) {
        in.timeLabels[i] = QString::fromStdString(labels.time[i]);
        in.freqLabels[i] = QString::fromStdString(labels.frequency[i]);
    }
    in.percentLabels = {QStringLiteral("100%"), QStringLiteral("66%"), QStringLiteral("33%"),
                        QStringLiteral("0%")};
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
