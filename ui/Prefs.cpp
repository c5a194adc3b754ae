#include "Prefs.h"

#include "Backgrounds.h"
#include "Controls.h"
#include "Main.h"
#include "ProgramState.h"
#include "Toolbox.h"

TForm1::TForm1(ProgramState& state, TW1& w1, TW2& w2) : QDialog(nullptr), state_(state), w1_(w1), w2_(w2) {
    setObjectName("Form1");
    setWindowTitle(QStringLiteral("Ustawienia"));
    // No border icons, hence no close box: "Zapisz" and "Anuluj" hide it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(false);
    setFixedSize(667, 273);
    setFont(UiFont());
    for (int i = 0; i < 5; ++i) {
        TimePictures[size_t(i)] = TimeBackgroundPicture(i);
        SpectrumPictures[size_t(i)] = SpectrumBackgroundPicture(i);
    }
    FormCreate();
}

void TForm1::FormCreate() {
    RenderTimeBackground();
    RenderSpectrumBackground();
}

// An index outside 0..4 (a hand-edited file) leaves the buffer as it was.
void TForm1::RenderTimeBackground() {
    if (state_.settings.BG >= 0 && state_.settings.BG <= 4)
        w1_.TimeBackground.CopyRect(w1_.TimeBackground.Image().rect(),
                                    TimePictures[size_t(state_.settings.BG)]);
}

void TForm1::RenderSpectrumBackground() {
    if (state_.settings.BFG >= 0 && state_.settings.BFG <= 4)
        w1_.SpectrumBackground.CopyRect(w1_.SpectrumBackground.Image().rect(),
                                        SpectrumPictures[size_t(state_.settings.BFG)]);
}
