#pragma once
// The main window: the time view and the spectrum view drawn on a kept client
// image, the scale labels, the marker items and the status bar.

#include "AcquisitionView.h"
#include "Canvas.h"
#include "Controls.h"
#include "ProgressBar.h"
#include "ScreenRects.h"
#include "StatusPanels.h"
#include "ViewComposer.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

struct ProgramState;
class ErrorBox;

// The buttons and keys held during a mouse event over the time view.
struct ShiftState {
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers keys;
    bool doubleClick = false;
    bool Only(Qt::MouseButton b) const { return buttons == b && keys == Qt::NoModifier && !doubleClick; }
};

// The transparent area over the time view that takes the mouse.
class TMouseArea : public QWidget {
  public:
    explicit TMouseArea(QWidget* parent);
    std::function<void(ShiftState, int x, int y)> OnMouseMove;
    std::function<void(ShiftState, int x, int y)> OnMouseDown;
    std::function<void()> OnMouseUp;
    std::function<void(Qt::KeyboardModifiers, int notches)> OnWheel; // whole notches, up positive

  protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

  private:
    int wheelRest_ = 0;
};

class TW1 : public QWidget, public ScreenView {
  public:
    TW1(ProgramState& state, ErrorBox& errors);

    std::function<void()> OnFormClose; // a system close request
    // The pointer read-out of the tool window: time and voltage texts.
    std::function<void(const QString& x, const QString& y)> OnPointerReadout;
    // A whole block is on the screen, received or loaded, taken at a T/dz position.
    std::function<void(int timebase)> OnBlockShown;
    // The level line was dragged to a trigger level position (1..1023).
    std::function<void(int level)> OnLevelDragged;

    // What the window shows, for printing and for checks: the kept picture (views still
    // waiting for it are composed into it first), the views' backgrounds, the spectrum pen
    // and the trigger-switch pictures.
    const QImage& ClientImage() { return composer_.KeptPicture(); }
    // The whole client area as the screen shows it, at its pixel density: the picture with
    // the titles, scale labels, markers, level line and status bar over it.
    QImage ShownPicture();
    const QImage& TimeBackgroundImage() const { return composer_.TimeBackground(); }
    const QImage& SpectrumBackgroundImage() const { return composer_.SpectrumBackground(); }
    QColor SpectrumColor() const { return spectrumPen_; }
    const QImage& SwitchPicture(int mode) const { return SwitchPictures[size_t(mode)]; }
    // The time base whose captions stand under the views.
    int LabelledTimebase() const { return labelledTimebase_; }

    // Settings and controls that change what the window shows.
    void SetStatusText(StatusPanel panel, const QString& text);
    void SetStatusHint(StatusPanel panel, const QString& hint);
    void SetSpectrumColor(QColor color);
    void SetTimeBackground(const QImage& picture);
    void SetSpectrumBackground(const QImage& picture);
    void ShowTriggerLine(bool visible); // where the last placement put it

    // Markers and the pointer read-out.
    void Image2MouseMove(ShiftState shift, int x, int y);
    void Image2MouseDown(ShiftState shift, int x, int y);
    void ShowMarkerItems(bool visible);
    void ResetMarkers();
    void MarkersToExtremes();
    void ApplyVoltRange(int position);

    // The time view's vertical position, the voltage at its bottom: dragged on the volt scale or
    // with the middle button in the view, Ctrl+wheel, Ctrl+Up/Down; a double click on the scale
    // brings 0 V back. Kept on whole rows inside 0..10 V.
    void SetPosition(int positionMv);
    void StepPosition(int divisions);
    static constexpr int PositionShiftStep = 5; // divisions with Shift held: half a view
    // The notes at the view's edges: where the trace runs above or below it, and at what voltage.
    QString OutOfViewText(bool above) const;

    // Rebuilds the whole picture from the surfaces and the samples (the paint handler).
    void FormPaint();
    // "Repaint the main window": FormPaint, then show it at once.
    void RepaintNow();

    // Drawing steps of the acquisition cycle.
    void SetFastTracePen() override;
    void DrawFastTrace() override;
    void DrawFileTrace(); // a block from a data file: rounding, as a repaint does
    void ShowFastTrace() override;
    void BeginProgressiveBlock() override;
    void DrawProgressiveTrace() override;
    void DrawSpectrum() override;
    void ShowProgress(int rxCount) override;
    void SetRecoveryCaption(bool red) override;
    void SetWaitingForTrigger(bool waiting) override;
    bool WaitingForTrigger() const;
    void SetDeviceMissing(bool missing) override;
    bool DeviceMissing() const { return deviceMissing_; }
    void BlockComplete(int timebase) override;
    // A live block is on the screen (not one from a file or the history), taken at `timebase`.
    std::function<void(int timebase)> OnLiveBlock;
    // A short note over the time view's top left corner for a few seconds (what autoset chose).
    void ShowNote(const QString& text);
    QString NoteText() const;
    // A whole block shown, acquired at or opened with T/dz position `timebase`.
    void BlockShown(int timebase);
    // The time base of the block on the screen, whatever the knob says since.
    int ShownBlockTimebase() const { return shownBlockTimebase_; }
    void PlaceTriggerLine() override;
    void ApplyTimebaseDisplay(int position) override;
    void UpdateAxisLabels(int position);

    // For tests and other windows: the items over the picture, by what they show.
    enum class Scale { Volts, Times, Frequencies }; // V1..V11 top down, t1..t5, F1..F5 left to right
    QString ScaleText(Scale scale, int index) const;
    enum class MarkerPin { A, B, AY, BY }; // ZnA, ZnB on the time axis, ZnAY, ZnBY on the volt axis
    const QWidget& MarkerItem(MarkerPin which) const;
    QString TimeDistanceText() const { return LabelLodlX->text(); }
    QString VoltDistanceText() const { return LabelLodlY->text(); }
    const QWidget& LevelLine() const { return *TriggerLine; }
    const QLabel& TimeTitle() const { return *Label1; }
    const QLabel& TriggerWaitNote() const { return *WaitingNote; }
    QString StatusText(StatusPanel panel) const { return StatusBar1->PanelText(int(panel)); }
    QString StatusHint(StatusPanel panel) const { return StatusBar1->PanelHint(int(panel)); }
    const TProgressBar& Progress() const { return *ProgressBar1; }

  protected:
    void paintEvent(QPaintEvent*) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void FormCreate();
    void BuildLayout();
    void BuildFramesAndScales();
    void BuildPointerItems();
    void BuildStatusBar();
    void LoadSwitchPictures();
    void UpdateVoltLabels();
    void PointerReadout(int x, int y);
    void ShowOutOfView();
    // Drags in the view and on its volt scale, from the mouse alone; false leaves the event to the markers.
    bool BeginViewDrag(ShiftState shift, int y);
    bool ContinueDrag(int y);
    void DragLevelTo(int y);
    enum class Drag { None, Level, Position };
    Drag drag_ = Drag::None;
    int dragFromY_ = 0, dragFromMv_ = 0;
    int requestedMv_ = 0;        // the position asked for; a range that cannot reach it shows less
    bool blockOnScreen_ = false; // a block was drawn: before it the edge notes have nothing to tell
    void PlaceMarkerItems(int which, int x);

    // The kept picture, the views' backgrounds and a block's views until they are in it.
    ViewComposer composer_;
    QColor spectrumPen_ = Qt::black; // for the next spectrum shown; a shown one keeps its own
    const QPoint ViewOrigin = ToQPoint(screen::ViewOrigin);
    const QRect TimeViewRect = ToQRect(screen::TimeViewRect);
    int progressiveEnd_ =
        screen::ViewOrigin.x; // the column of the last vertex shown of the progressive block
    const QRect SpectrumViewRect = ToQRect(screen::SpectrumViewRect);

    // The trigger-switch pictures: off, rising, falling (null when not loaded).
    std::array<QImage, 3> SwitchPictures;

    TSmoothBevel* SmoothBevel1 = nullptr; // around the time view
    TSmoothBevel* SmoothBevel3 = nullptr; // around its whole half of the window
    QLabel* Label1 = nullptr;             // "Przebieg czasowy"
    std::array<QLabel*, 11> V{};
    std::array<QLabel*, 5> T{}; // t1..t5
    std::array<QLabel*, 5> F{};
    TStatusBar* StatusBar1 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;
    QLabel* WaitingNote = nullptr;   // over ProgressBar1, shown only while a trigger is awaited
    TMouseArea* VoltScale = nullptr; // over V1..V11: takes the position's drags
    QLabel* AboveNote = nullptr;     // the trace runs above the view
    QLabel* BelowNote = nullptr;     // ... below it
    QLabel* Note = nullptr;          // ShowNote's
    QTimer* noteTimer_ = nullptr;

    TMouseArea* Image2 = nullptr;
    TImage* ZnA = nullptr;
    TImage* ZnB = nullptr;
    TImage* ZnAY = nullptr;
    TImage* ZnBY = nullptr;
    TShapeControl* LOdlX = nullptr;
    TShapeControl* LOdlY = nullptr;
    QLabel* LabelLodlX = nullptr;
    QLabel* LabelLodlY = nullptr;
    TImage* TriggerLine = nullptr; // Image1 of the form

    ProgramState& state_;
    ErrorBox& errors_;
    bool storedBlockShown_ = false; // from a file, the history or a recording: whole
    bool waitingForTrigger_ = false;
    bool deviceMissing_ = false; // says so instead of the trigger note
    void ShowLinkNote();
    int labelledTimebase_ = 0;
    int shownBlockTimebase_ = 0;
};
