#pragma once
// The tool window: every control of the instrument, the poll timer and the
// serial port. Its creation reads the settings and places both windows.

#include "AcquisitionCycle.h"
#include "AcquisitionView.h"
#include "CommPort.h"
#include "Controls.h"
#include "Knob.h"
#include "SettingsFile.h"

#include <QLabel>
#include <QPrinter>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

struct ProgramState;
class ErrorBox;
class TW1;

class TW2 : public QWidget, public ControlsView {
  public:
    // sharedSettingsPath: read while the file at settingsPath does not exist yet.
    TW2(ProgramState& state, ErrorBox& errors, TW1& w1, const std::string& settingsPath,
        const std::string& sharedSettingsPath = {});

    SettingsFile Ini; // open for the whole run; the settings dialog writes through it
    TCommPort Com1;
    QTimer Timer1;

    TSmoothFlatButton* SmoothFlatButton5 = nullptr;  // connect (toggle)
    TSmoothFlatButton* SmoothFlatButton7 = nullptr;  // open data file
    TSmoothFlatButton* SmoothFlatButton8 = nullptr;  // save data file
    TSmoothFlatButton* SmoothFlatButton12 = nullptr; // print
    TSmoothFlatButton* SmoothFlatButton6 = nullptr;  // settings
    TSmoothButton* SmoothButton1 = nullptr;          // Start
    TSmoothButton* SmoothButton2 = nullptr;          // Stop
    TSmoothButton* SmoothButton3 = nullptr;          // Reset
    TKnob* Knob1 = nullptr;                          // V/dz
    TKnob* Knob2 = nullptr;                          // T/dz
    TKnob* Knob3 = nullptr;                          // trigger level
    TImage* Przel = nullptr;                         // trigger switch
    TSmoothFlatButton* SmoothFlatButton9 = nullptr;  // falling edge
    TSmoothFlatButton* SmoothFlatButton2 = nullptr;  // rising edge
    TSmoothFlatButton* SmoothFlatButton1 = nullptr;  // trigger off
    QLabel* Label14 = nullptr;                       // level read-out
    TRepeatSpeedButton* RepeatButton1 = nullptr;     // "+"
    TRepeatSpeedButton* RepeatButton2 = nullptr;     // "-"
    QLabel* lX = nullptr;
    QLabel* lY = nullptr;
    TSmoothFlatButton* SmoothFlatButton3 = nullptr; // "Włącz"
    TSmoothFlatButton* SmoothFlatButton4 = nullptr; // "Wyłącz"
    TSmoothFlatButton* btWyzeruj = nullptr;
    TSmoothFlatButton* btMinMax = nullptr;

    AcquisitionCycle Cycle;

    // Handlers of the acquisition controls.
    void SmoothFlatButton5Click(bool pressed);
    void SmoothButton1Click() { Cycle.Start(); }
    void SmoothButton2Click() { Cycle.Stop(); }
    void SmoothButton3Click() { Cycle.Reset(); }
    void Timer1Timer() { Cycle.Tick(); }
    void Com1RxChar(TCustomCommPort*, int) { Cycle.RxChar(); }
    void Knob1Change();
    void PrzelClick();
    void SetTriggerModeTo(int mode);
    void SmoothFlatButton1Click() { SetTriggerModeTo(0); } // "OFF"
    void SmoothFlatButton2Click() { SetTriggerModeTo(1); } // rising edge
    void SmoothFlatButton9Click() { SetTriggerModeTo(2); } // falling edge
    void SmoothFlatButton6Click();                         // shows the settings dialog
    void Knob3Change();
    void SmoothFlatButton10Click(); // "+"
    void SmoothFlatButton11Click(); // "-"
    void StepTriggerLevel(int step);
    void SmoothFlatButton8Click(); // save a data file
    void SmoothFlatButton7Click(); // open a data file

    // The file dialogs; an empty name means cancelled. Tests put their own in.
    std::function<QString()> AskSaveFileName;
    std::function<QString()> AskOpenFileName;
    std::function<void()> OnShowSettings; // shows the settings dialog, modeless

    void SmoothFlatButton12Click();             // print
    QPrinter Printer{QPrinter::HighResolution}; // keeps its job title between jobs
    std::function<bool(QPrinter&)> AskPrinter;  // the print dialog; false: cancelled
    void SmoothFlatButton3Click();              // "Włącz"
    void SmoothFlatButton4Click();              // "Wyłącz"
    void btWyzerujClick();
    void btMinMaxClick();

    // ControlsView
    int TimebasePosition() const override { return Knob2->Position(); }
    void SetStartStop(bool startEnabled, bool stopEnabled) override;
    void ReleaseConnectButton() override;
    void HideMarkers() override;
    void EnableMarkerButtons() override;
    void ShowProbeFailure() override;
    void Pause(int ms) override;

    // Centres the window pair on the work area, main window on the left.
    void PlaceWindowPair();
    // The poll interval; 0 or less leaves the timer stopped (a 0-ms timer would spin).
    void SetTimerInterval(int ms);

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void FormCreate();
    void FormClose();
    void BuildLayout();
    void BuildTopPanel();
    void BuildVoltPanel();
    void BuildTimePanel();
    void BuildTriggerPanels();
    void BuildCursorPanels();
    void ConnectHandlers();

    ProgramState& state_;
    ErrorBox& errors_;
    TW1& w1_;
    bool closing_ = false;
    QSize placedOuter1_, placedOuter2_; // the outer sizes the last placement used
};
