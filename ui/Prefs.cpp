#include "Prefs.h"

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
    FormCreate();
}

void TForm1::FormCreate() {
    // The background pictures and previews join this dialog with its own issue.
}
