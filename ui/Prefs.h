#pragma once
// The settings dialog: created hidden at start, shown modelessly on demand.

#include <QDialog>
#include <QImage>
#include <array>

struct ProgramState;
class TW1;
class TW2;

class TForm1 : public QDialog {
  public:
    TForm1(ProgramState& state, TW1& w1, TW2& w2);

    // The dialog's background pictures, by the index stored in BG and BFG.
    std::array<QImage, 5> TimePictures;
    std::array<QImage, 5> SpectrumPictures;

    void RenderTimeBackground();
    void RenderSpectrumBackground();

  private:
    void FormCreate();

    ProgramState& state_;
    TW1& w1_;
    TW2& w2_;
};
