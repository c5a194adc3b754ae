#pragma once
// The settings dialog: created hidden at start, shown modelessly on demand.

#include <QDialog>

struct ProgramState;
class TW1;
class TW2;

class TForm1 : public QDialog {
  public:
    TForm1(ProgramState& state, TW1& w1, TW2& w2);

  private:
    void FormCreate();

    ProgramState& state_;
    TW1& w1_;
    TW2& w2_;
};
