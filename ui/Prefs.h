#pragma once
// The settings dialog: the look of both views, the port, the progress display,
// the timing of the acquisition cycle, docking and centring of the windows.
// Created hidden at start and shown modelessly on demand.

#include "Backgrounds.h"
#include "Canvas.h"
#include "Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <array>
#include <functional>
#include <map>
#include <string>

struct ProgramState;
class ErrorBox;
class PollTimer;
class SettingsFile;
class TW1;
class TW2;
class TPortChooser;

class TForm1 : public QDialog {
  public:
    TForm1(ProgramState& state, ErrorBox& errors, TW1& w1, TW2& w2, SettingsFile& ini, PollTimer& timer);

    // The dialog's background pictures, by the index stored in BG and BFG.
    const QImage& TimePicture(int index) const { return TimePictures[size_t(index)]; }
    const QImage& SpectrumPicture(int index) const { return SpectrumPictures[size_t(index)]; }

    // The colour dialog and the web links; tests put their own in.
    std::function<QColor(QColor preset)> AskColor; // invalid colour: cancelled
    std::function<void(const QString& url)> OpenUrl;
    std::function<void()> OnSaved; // "Zapisz" wrote everything, the ports' devices too

    void Button1Click();      // "Zapisz"
    void Button2Click();      // "Anuluj"
    void SpeedButton1Click(); // "Dociągnij"
    void SpeedButton2Click(); // "Wycentruj"
    void SpeedButton3Click(); // "Resetuj wartości"
    void ChooseTimeBackground(int index);
    void ChooseSpectrumBackground(int index);
    void Shape1MouseDown();
    void Shape2MouseDown();
    void ComboBox2Change();
    void RadioGroup1Click(int index);
    void CheckBox1Click(); // "Wypełnienie przebiegu"
    void CheckBox2Click(); // "Włączony pasek statusu"
    void CheckBox3Click(); // "Spowolnienie transmisji"
    // "…" on the port group's caption line: the device of the selected port.
    void PortDeviceButtonClick();
    void BannerClick();
    void Image13Click();

    void RenderTimeBackground();
    void RenderSpectrumBackground();
    void DrawTimePreview();
    void DrawSpectrumPreview();

    // For tests and other windows: the controls by what they do.
    QRadioButton& PortButton(int index) const { return *RadioGroup1[size_t(index)]; } // Com1..Com8
    QComboBox& LineWidthBox() const { return *ComboBox2; }
    enum class Option { FillSpectrum, StatusBar, SlowTransfer };
    const QCheckBox& OptionBox(Option which) const;
    enum class Timing { Timer, Timeout, Wait };
    const QLineEdit& TimingField(Timing which) const;
    enum class DialogButton { Save, Cancel, PortDevice };
    const QAbstractButton& Button(DialogButton which) const;
    void Press(DialogButton which); // as a click
    const TShapeControl& TimeColorSwatch() const { return *Shape1; }
    const QImage& TimePreviewPicture() const { return Image1->Picture(); }
    TImage& MakerLink() const { return *Banner; }
    TImage& DistributorLink() const { return *Image13; }
    TPortChooser& DeviceChooser() const { return *PortChooser; }
    // The captioned groups: ports, windows, miscellany, advanced, time view, spectrum view.
    const std::array<TGroupBox*, 6>& Groups() const { return groups_; }

  protected:
    void showEvent(QShowEvent* e) override;
    void reject() override; // Esc is "Anuluj"

  private:
    void FormCreate();
    void FormShow();
    void BuildLayout();
    void ConnectHandlers();
    std::string PortDevice(int port) const; // as chosen in the dialog, else as the file maps it
    void ShowPortDevices();

    struct Snapshot {
        int PC, BG, LW, CP, Czekaj1, Timeout1, Timer, BFG, PCF;
        bool FW, WYSSTATUS, Spow;
    };

    std::array<QImage, BackgroundCount> TimePictures;
    std::array<QImage, BackgroundCount> SpectrumPictures;

    std::array<TGroupBox*, 6> groups_{};
    std::array<QRadioButton*, 8> RadioGroup1{};
    QComboBox* ComboBox2 = nullptr;
    TShapeControl* Shape1 = nullptr;
    TShapeControl* Shape2 = nullptr;
    std::array<TImage*, BackgroundCount> TimeThumbnails{};     // Image2..Image6, by BG index
    std::array<TImage*, BackgroundCount> SpectrumThumbnails{}; // Image7..Image11, by BFG index
    TImage* Image1 = nullptr;                                  // time-view preview
    TImage* Image12 = nullptr;                                 // spectrum preview
    QCheckBox* CheckBox1 = nullptr;                            // "Wypełnienie przebiegu"
    QCheckBox* CheckBox2 = nullptr;                            // "Włączony pasek statusu"
    QCheckBox* CheckBox3 = nullptr;                            // "Spowolnienie transmisji"
    QLineEdit* Edit1 = nullptr;                                // Timer
    QLineEdit* Edit2 = nullptr;                                // Timeout
    QLineEdit* Edit3 = nullptr;                                // Czekaj
    QPushButton* Button1 = nullptr;                            // "Zapisz"
    QPushButton* Button2 = nullptr;                            // "Anuluj"
    QPushButton* PortDeviceButton = nullptr;                   // "…" on the port group's caption line
    QPushButton* SpeedButton1 = nullptr;                       // "Dociągnij"
    QPushButton* SpeedButton2 = nullptr;                       // "Wycentruj"
    QPushButton* SpeedButton3 = nullptr;                       // "Resetuj wartości"
    TImage* Image13 = nullptr;                                 // the distributor's logo
    TImage* Banner = nullptr;                                  // the maker's banner
    TPortChooser* PortChooser = nullptr;

    ProgramState& state_;
    ErrorBox& errors_;
    TW1& w1_;
    TW2& w2_;
    SettingsFile& ini_;
    PollTimer& timer_;
    Canvas timePreview_{QSize(225, 113), Qt::white};
    Canvas spectrumPreview_{QSize(225, 113), Qt::white};
    Snapshot snapshot_{};
    // Devices chosen for ports since the dialog opened: written by "Zapisz", dropped by "Anuluj".
    std::map<int, std::string> pendingPorts_;
    bool shownBefore_ = false;
};
