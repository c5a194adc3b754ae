#pragma once
// The tool window: every control of the instrument, sending the user's commands
// to the acquisition session. Its creation places both windows.

#include "AcquisitionView.h"
#include "Controls.h"
#include "Knob.h"

#include <QLabel>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

struct ProgramState;
class AcquisitionSession;
class ErrorBox;
class QPrinter;
class TW1;

class TW2 : public QWidget, public ControlsView {
  public:
    // printer: keeps its job title between jobs.
    TW2(ProgramState& state, ErrorBox& errors, TW1& w1, AcquisitionSession& session, QPrinter& printer);

    // Handlers of the acquisition controls.
    void SmoothFlatButton5Click(bool pressed);
    void SmoothButton1Click();
    void SmoothButton2Click();
    void SmoothButton3Click();
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
    // A block put into the samples (a file's, a kept one's) drawn as a loaded data file is,
    // with the knobs set to what it was taken with (the V/dz knob stays when not given).
    void ShowStoredBlock(int timebase, std::optional<int> voltPosition = std::nullopt);
    // Whether the block being shown is such a stored one (true only inside ShowStoredBlock).
    bool ShowingStoredBlock() const { return showingStoredBlock_; }

    // The file dialogs; an empty name means cancelled. Tests put their own in.
    // Both start in the folder of the last file chosen in this run.
    std::function<QString()> AskSaveFileName;
    std::function<QString()> AskOpenFileName;
    std::function<void()> OnShowSettings;       // shows the settings dialog, modeless
    std::function<void()> OnToggleMeasurements; // this window's menu: the measurements window shown or hidden
    std::function<void()> OnToggleCapture;      // this window's menu: the capture window
    std::function<void()> OnAutoset;            // this window's menu: autoset
    std::function<void()> OnToggleLupa;         // this window's menu: the Lupa
    // A name chosen in the open dialog that is a recording: true when it was taken care of.
    std::function<bool(const QString& name)> OnOpenRecording;
    // The level typed as a value (Ctrl+L, a double click on the level read-out), then set as the
    // knob sets it. AskLevelValue gives the position typed, none when cancelled; tests put their own in.
    void AskLevel();
    std::function<std::optional<int>(int current)> AskLevelValue;
    static constexpr int LevelShiftStep = 10; // positions of the level with Shift held
    std::function<void()> OnEnding;           // the program is about to end
    // Where the file dialogs start: the folder of the last file chosen (empty: the current one).
    const QString& FileFolder() const { return fileFolder_; }
    void SetFileFolder(const QString& folder) { fileFolder_ = folder; }

    // Space: Start when it is usable, else Stop, as a click on that button.
    void StartOrStop();

    void SmoothFlatButton12Click();            // print
    std::function<bool(QPrinter&)> AskPrinter; // the print dialog; false: cancelled
    void SmoothFlatButton3Click();             // "Włącz"
    void SmoothFlatButton4Click();             // "Wyłącz"
    void btWyzerujClick();
    void btMinMaxClick();

    // The pointer read-out under "Pozycja:".
    void ShowPointerReadout(const QString& x, const QString& y);

    // ControlsView
    int TimebasePosition() const override { return Knob2->Position(); }
    int VoltPosition() const override { return Knob1->Position(); }
    void SetStartStop(bool startEnabled, bool stopEnabled) override;
    void ReleaseConnectButton() override;
    void HideMarkers() override;
    void EnableMarkerButtons() override;
    void ShowProbeFailure() override;
    void Pause(int ms) override;

    // The end of the program: the session closed, then (when asked) the pause that lets
    // the instrument settle, then the event loop left. The quitting closes this window
    // too, but not with its own close and pause.
    void EndProgram(bool pause);

    // For tests and other windows: the controls by what they do.
    enum class ToolButton {
        Connect,
        Open,
        Save,
        Print,
        Settings,
        Start,
        Stop,
        Reset, // top panel
        TriggerFalling,
        TriggerRising,
        TriggerOff,
        LevelUp,
        LevelDown, // trigger panels
        MarkersOn,
        MarkersOff,
        MarkersReset,
        MarkersToExtremes // cursor panel
    };
    const QAbstractButton& Button(ToolButton which) const { return ButtonControl(which); }
    void Press(ToolButton which) { ButtonControl(which).click(); } // as a click: a disabled one does nothing
    enum class ToolKnob { Volts, Time, Level };
    const TKnob& Knob(ToolKnob which) const { return KnobControl(which); }
    void TurnKnob(ToolKnob which, int position) {
        KnobControl(which).SetPosition(position);
    } // as the user would
    QRect KnobPanelGeometry(ToolKnob which) const { return Knob(which).parentWidget()->geometry(); }
    const TImage& TriggerSwitch() const { return *Przel; }
    QString LevelText() const { return Label14->text(); }
    QString PointerTimeText() const { return lX->text(); } // the read-out under "Pozycja:"
    QString PointerVoltText() const { return lY->text(); }

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    bool showingStoredBlock_ = false;
    QAbstractButton& ButtonControl(ToolButton which) const;
    TKnob& KnobControl(ToolKnob which) const;
    void FormCreate();
    void BuildLayout();
    void BuildTopPanel();
    void BuildVoltPanel();
    void BuildTimePanel();
    void BuildTriggerPanels();
    void BuildCursorPanels();
    void ConnectHandlers();

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

    ProgramState& state_;
    ErrorBox& errors_;
    TW1& w1_;
    AcquisitionSession& session_;
    QPrinter& printer_;
    bool closing_ = false;
    QString fileFolder_; // empty: the current folder
};
