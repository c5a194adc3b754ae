#include "Prefs.h"

#include "Backgrounds.h"
#include "ErrorBox.h"
#include "Main.h"
#include "PlaceWindowPair.h"
#include "ProgramState.h"
#include "Settings.h"
#include "Toolbox.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QUrl>

namespace {

// Placeholder addresses of the maker and the distributor.
const QString kMakerUrl = QStringLiteral("https://drganik.example/");
const QString kDistributorUrl = QStringLiteral("https://dystrybutor.example/");

QLabel* Caption(QWidget* parent, int left, int top, const QString& text) {
    auto* l = Place<QLabel>(parent, "", left, top, 10, 10);
    l->setText(text);
    l->adjustSize();
    return l;
}

TGroupBox* Group(QWidget* parent, const char* name, QRect place, const QString& title) {
    auto* g = Place<TGroupBox>(parent, name, place.x(), place.y(), place.width(), place.height());
    g->SetTitle(title);
    return g;
}

// The square wave the previews show: high at y = 20, low below the bottom edge.
void TestWave(Canvas& c) {
    c.MoveTo(0, 89);
    for (int i = 0; i <= 12; ++i) {
        const int x0 = 20 * i;
        c.LineTo(x0 + 1, 20);
        c.LineTo(x0 + 9, 20);
        c.LineTo(x0 + 10, 140);
        c.LineTo(x0 + 20, 140);
    }
}

QImage Banner() {
    QImage img(154, 34, QImage::Format_RGB32);
    img.fill(QColor(20, 40, 90));
    QPainter p(&img);
    p.setPen(Qt::white);
    p.setFont(UiFont(16, true));
    p.drawText(img.rect(), Qt::AlignCenter, QStringLiteral("Drganik"));
    return img;
}

QImage Logo() {
    QImage img(90, 56, QImage::Format_RGB32);
    img.fill(QColor(235, 235, 235));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 110, 60), 3));
    p.drawPolyline(QPolygon({{8, 40}, {22, 40}, {30, 14}, {40, 46}, {50, 20}, {58, 32}, {82, 32}}));
    p.setFont(UiFont(9));
    p.setPen(Qt::black);
    p.drawText(QRect(0, 44, 90, 12), Qt::AlignCenter, QStringLiteral("dystrybutor"));
    return img;
}

} // namespace

TForm1::TForm1(ProgramState& state, ErrorBox& errors, TW1& w1, TW2& w2)
    : QDialog(nullptr), state_(state), errors_(errors), w1_(w1), w2_(w2) {
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
    AskColor = [this](QColor preset) {
        QColorDialog d(preset, this);
        d.setOption(QColorDialog::DontUseNativeDialog, false);
        return d.exec() == QDialog::Accepted ? d.selectedColor() : QColor();
    };
    OpenUrl = [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };
    BuildLayout();
    ConnectHandlers();
    FormCreate();
}

void TForm1::BuildLayout() {
    auto* ports = Group(this, "RadioGroup1", {0, 0, 161, 105}, QStringLiteral("Ustawienia portu"));
    ports->setToolTip(QStringLiteral("Zmiana ustawień portu\nnastąpi po ponownym uruchomieniu"));
    const char* items[] = {"Com1", "Com2", "Com3", "Com4 ", "Com5", "Com6", "Com7", "Com8"};
    for (int i = 0; i < 8; ++i) { // two columns
        auto* b = Place<QRadioButton>(ports, "", 8 + (i / 4) * 76, 18 + (i % 4) * 20, 70, 18);
        b->setText(QString::fromLatin1(items[i]));
        RadioGroup1[size_t(i)] = b;
    }

    auto* windows = Group(this, "GroupBox3", {0, 112, 161, 49}, QStringLiteral("Położenie okien"));
    Place<QPushButton>(windows, "SpeedButton1", 8, 16, 65, 25)->setText(QStringLiteral("Dociągnij"));
    Place<QPushButton>(windows, "SpeedButton2", 80, 16, 73, 25)->setText(QStringLiteral("Wycentruj"));

    auto* misc = Group(this, "GroupBox4", {0, 168, 161, 41}, QStringLiteral("Różne"));
    CheckBox2 = Place<QCheckBox>(misc, "CheckBox2", 8, 16, 137, 17);
    CheckBox2->setText(QStringLiteral("Włączony pasek statusu"));

    auto* advanced = Group(this, "GroupBox5", {0, 208, 409, 65}, QStringLiteral("Zaawansowane"));
    Caption(advanced, 8, 18, QStringLiteral("Timer:"));
    Caption(advanced, 100, 18, QStringLiteral("Timeout:"));
    Caption(advanced, 200, 18, QStringLiteral("Czekaj:"));
    Edit1 = Place<QLineEdit>(advanced, "Edit1", 48, 14, 41, 21);
    Edit2 = Place<QLineEdit>(advanced, "Edit2", 144, 14, 41, 21);
    Edit3 = Place<QLineEdit>(advanced, "Edit3", 240, 14, 41, 21);
    Edit1->setText(QStringLiteral("25"));
    Edit2->setText(QStringLiteral("20"));
    Edit3->setText(QStringLiteral("20"));
    Place<QPushButton>(advanced, "SpeedButton3", 288, 14, 113, 23)
        ->setText(QStringLiteral("Resetuj wartości"));
    CheckBox3 = Place<QCheckBox>(advanced, "CheckBox3", 8, 40, 177, 17);
    CheckBox3->setText(QStringLiteral("Spowolnienie transmisji"));
    CheckBox3->setChecked(true);

    const int thumbLefts[] = {39, 80, 120, 160, 200};
    auto* time = Group(this, "GroupBox1", {168, 0, 241, 209}, QStringLiteral("Okno przebiegu czasowego"));
    Caption(time, 8, 24, QStringLiteral("Grubość lini:"));
    ComboBox2 = Place<QComboBox>(time, "ComboBox2", 72, 16, 73, 21);
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert); // typed text selects nothing, it adds no width
    ComboBox2->addItems({QStringLiteral("1 px"), QStringLiteral("2 px")});
    Caption(time, 152, 24, QStringLiteral("Kolor lini:"));
    Shape1 = Place<TShapeControl>(time, "Shape1", 200, 16, 33, 21);
    Caption(time, 8, 56, QStringLiteral("Tło:"));
    const int timeOrder[] = {0, 1, 3, 2, 4}; // screen order of the indexes
    for (int slot = 0; slot < 5; ++slot) {
        const int index = timeOrder[slot];
        Place<TSmoothBevel>(time, "", thumbLefts[slot] - 1, 47, 35, 35);
        const QByteArray name = "Image" + QByteArray::number(index + 2);
        auto* thumb = Place<TImage>(time, name.constData(), thumbLefts[slot], 48, 33, 33);
        thumb->SetPicture(TimePictures[size_t(index)].copy(0, 0, 33, 33));
        thumb->setCursor(Qt::PointingHandCursor);
        TimeThumbnails[size_t(index)] = thumb;
    }
    Place<TSmoothBevel>(time, "", 7, 87, 227, 115);
    Image1 = Place<TImage>(time, "Image1", 8, 88, 225, 113);

    auto* fourier = Group(this, "GroupBox6", {416, 0, 249, 209}, QStringLiteral("Okno analizy Fouriera"));
    CheckBox1 = Place<QCheckBox>(fourier, "CheckBox1", 8, 24, 137, 17);
    CheckBox1->setText(QStringLiteral("Wypełnienie przebiegu"));
    Caption(fourier, 152, 24, QStringLiteral("Kolor lini:"));
    Shape2 = Place<TShapeControl>(fourier, "Shape2", 200, 16, 33, 21);
    Caption(fourier, 8, 56, QStringLiteral("Tło:"));
    for (int slot = 0; slot < 5; ++slot) {
        const int index = 4 - slot;
        Place<TSmoothBevel>(fourier, "", thumbLefts[slot] - 1, 47, 35, 35);
        const QByteArray name = "Image" + QByteArray::number(index + 7);
        auto* thumb = Place<TImage>(fourier, name.constData(), thumbLefts[slot], 48, 33, 33);
        thumb->SetPicture(SpectrumPictures[size_t(index)].copy(0, 0, 33, 33));
        thumb->setCursor(Qt::PointingHandCursor);
        SpectrumThumbnails[size_t(index)] = thumb;
    }
    Place<TSmoothBevel>(fourier, "", 7, 87, 227, 115);
    Image12 = Place<TImage>(fourier, "Image12", 8, 88, 225, 113);

    auto* logo = Place<TImage>(this, "Image13", 416, 212, 90, 56);
    logo->SetPicture(Logo());
    logo->setCursor(Qt::PointingHandCursor);
    logo->OnClick = [this] { Image13Click(); };
    auto* banner = Place<TImage>(this, "Banner", 512, 212, 154, 34);
    banner->SetPicture(Banner());
    banner->setCursor(Qt::PointingHandCursor);
    banner->setToolTip(kMakerUrl);
    banner->OnClick = [this] { BannerClick(); };

    Button2 = Place<QPushButton>(this, "Button2", 512, 248, 75, 25);
    Button2->setText(QStringLiteral("Anuluj"));
    Button2->setAutoDefault(false);
    Button1 = Place<QPushButton>(this, "Button1", 592, 248, 75, 25);
    Button1->setText(QStringLiteral("Zapisz"));
    Button1->setDefault(true);
}

void TForm1::ConnectHandlers() {
    const auto on = [this](QAbstractButton* b, auto handler) {
        connect(b, &QAbstractButton::clicked, this, errors_.Guard(handler));
    };
    on(Button1, [this] { Button1Click(); });
    on(Button2, [this] { Button2Click(); });
    on(findChild<QPushButton*>("SpeedButton1"), [this] { SpeedButton1Click(); });
    on(findChild<QPushButton*>("SpeedButton2"), [this] { SpeedButton2Click(); });
    on(findChild<QPushButton*>("SpeedButton3"), [this] { SpeedButton3Click(); });
    for (int i = 0; i < 8; ++i)
        on(RadioGroup1[size_t(i)], [this, i] { RadioGroup1Click(i); });
    on(CheckBox1, [this] { CheckBox1Click(); });
    on(CheckBox2, [this] { CheckBox2Click(); });
    on(CheckBox3, [this] { CheckBox3Click(); });
    connect(ComboBox2, &QComboBox::editTextChanged, this, errors_.Guard([this] { ComboBox2Change(); }));
    connect(ComboBox2, qOverload<int>(&QComboBox::activated), this,
            errors_.Guard([this] { ComboBox2Change(); }));
    Shape1->OnMouseDown = errors_.Guard([this] { Shape1MouseDown(); });
    Shape2->OnMouseDown = errors_.Guard([this] { Shape2MouseDown(); });
    for (int i = 0; i < 5; ++i) {
        TimeThumbnails[size_t(i)]->OnClick = errors_.Guard([this, i] { ChooseTimeBackground(i); });
        SpectrumThumbnails[size_t(i)]->OnClick = errors_.Guard([this, i] { ChooseSpectrumBackground(i); });
    }
}

void TForm1::FormCreate() {
    RenderTimeBackground();
    RenderSpectrumBackground();
    // Both previews are drawn when their inputs change, never from a paint: the
    // preview is a child of the dialog, so redrawing it from a paint would paint again.
    DrawTimePreview();
    DrawSpectrumPreview();
    Shape1->SetColor(ColorFromBgr(state_.settings.PC));
    Shape2->SetColor(ColorFromBgr(state_.settings.PCF));
}

void TForm1::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!shownBefore_) { // centred on the desktop the first time
        shownBefore_ = true;
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        move(area.center() - rect().center());
    }
    errors_.Run([this] { FormShow(); });
}

void TForm1::FormShow() {
    const Settings& s = state_.settings;
    snapshot_ = {s.PC,  s.BG,  s.LW, s.CP,        s.Czekaj1, s.Timeout1, w2_.Timer1.interval(),
                 s.BFG, s.PCF, s.FW, s.WYSSTATUS, s.Spow};
    if (s.CP >= 1 && s.CP <= 8)
        RadioGroup1[size_t(s.CP - 1)]->setChecked(true);
    CheckBox1->setChecked(s.FW);
    {
        const QSignalBlocker quiet(ComboBox2); // loading the box is no change of the width
        ComboBox2->setCurrentIndex(s.LW == 1 || s.LW == 2 ? s.LW - 1 : -1);
    }
    Shape1->SetColor(ColorFromBgr(s.PC));
    Edit1->setText(QString::number(w2_.Timer1.interval()));
    Edit2->setText(QString::number(s.Timeout1));
    Edit3->setText(QString::number(s.Czekaj1));
    CheckBox2->setChecked(s.WYSSTATUS);
    CheckBox3->setChecked(s.Spow); // shows the setting as read, also when the file says off
}

void TForm1::DrawTimePreview() {
    const int bg = state_.settings.BG;
    if (bg >= 0 && bg <= 4) // an index from a hand-edited file draws no picture
        timePreview_.CopyRect(QRect(-140, -80, 500, 250), TimePictures[size_t(bg)]);
    timePreview_.PenColor = ColorFromBgr(state_.settings.PC);
    timePreview_.PenWidth = state_.settings.LW;
    TestWave(timePreview_);
    Image1->SetPicture(timePreview_.Image());
}

void TForm1::DrawSpectrumPreview() {
    const int bfg = state_.settings.BFG;
    if (bfg >= 0 && bfg <= 4)
        spectrumPreview_.CopyRect(QRect(0, 0, 500, 125), SpectrumPictures[size_t(bfg)]);
    spectrumPreview_.PenColor = ColorFromBgr(state_.settings.PCF);
    spectrumPreview_.PenWidth = 1;
    TestWave(spectrumPreview_);
    Image12->SetPicture(spectrumPreview_.Image());
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

void TForm1::Button1Click() {
    SaveSettings(w2_.Ini, state_.settings,
                 {Edit1->text().toStdString(), Edit2->text().toStdString(), Edit3->text().toStdString()},
                 [this](int ms) { w2_.SetTimerInterval(ms); });
    RenderTimeBackground();
    w1_.SpectrumOverlay.PenColor = ColorFromBgr(state_.settings.PCF);
    RenderSpectrumBackground();
    w1_.RepaintNow();
    if (state_.settings.CP != snapshot_.CP) {
        QMessageBox box(
            QMessageBox::NoIcon, QStringLiteral("Uwaga!"),
            QStringLiteral("Aby zmiana portu COM odniosła skutek\r\nmusisz uruchomić ponownie program."),
            QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
    hide();
}

void TForm1::Button2Click() {
    Settings& s = state_.settings;
    s.LW = snapshot_.LW;
    s.BG = snapshot_.BG;
    s.PC = snapshot_.PC;
    s.CP = snapshot_.CP;
    s.FW = snapshot_.FW;
    s.WYSSTATUS = snapshot_.WYSSTATUS;
    s.Czekaj1 = snapshot_.Czekaj1;
    s.Timeout1 = snapshot_.Timeout1;
    // Cancel takes back everything the dialog changed, the Fourier view and the slow-down too.
    s.BFG = snapshot_.BFG;
    s.PCF = snapshot_.PCF;
    s.Spow = snapshot_.Spow;
    Shape2->SetColor(ColorFromBgr(s.PCF));
    DrawTimePreview();
    DrawSpectrumPreview();
    w2_.SetTimerInterval(snapshot_.Timer);
    s.Timer = snapshot_.Timer;
    hide();
}

void TForm1::reject() {
    errors_.Run([this] { Button2Click(); });
}

void TForm1::RadioGroup1Click(int index) {
    state_.settings.CP = index + 1;
}
void TForm1::CheckBox1Click() {
    state_.settings.FW = CheckBox1->isChecked();
}
void TForm1::CheckBox2Click() {
    state_.settings.WYSSTATUS = CheckBox2->isChecked();
}
void TForm1::CheckBox3Click() {
    state_.settings.Spow = CheckBox3->isChecked();
}
void TForm1::BannerClick() {
    OpenUrl(kMakerUrl);
}
void TForm1::Image13Click() {
    OpenUrl(kDistributorUrl);
}

void TForm1::SpeedButton1Click() {
    const QRect tool = w2_.frameGeometry();
    const WinPos to = DockLeftOf({tool.x(), tool.y()}, {w1_.frameGeometry().width(), 0});
    w1_.move(w1_.pos() + QPoint(to.left, to.top) - w1_.frameGeometry().topLeft());
}

void TForm1::SpeedButton2Click() {
    w2_.PlaceWindowPair();
}

void TForm1::SpeedButton3Click() {
    Edit1->setText(QStringLiteral("25"));
    Edit2->setText(QStringLiteral("20"));
    Edit3->setText(QStringLiteral("20"));
}

void TForm1::ChooseTimeBackground(int index) {
    state_.settings.BG = index;
    DrawTimePreview();
}

void TForm1::ChooseSpectrumBackground(int index) {
    state_.settings.BFG = index;
    DrawSpectrumPreview();
}

void TForm1::Shape1MouseDown() {
    const QColor c = AskColor(ColorFromBgr(state_.settings.PC));
    if (!c.isValid())
        return;
    state_.settings.PC = BgrFromColor(c);
    Shape1->SetColor(c);
    DrawTimePreview();
}

void TForm1::Shape2MouseDown() {
    const QColor c = AskColor(ColorFromBgr(state_.settings.PCF));
    if (!c.isValid())
        return;
    state_.settings.PCF = BgrFromColor(c);
    Shape2->SetColor(c);
    DrawSpectrumPreview();
}

void TForm1::ComboBox2Change() {
    const int index = ComboBox2->findText(ComboBox2->currentText());
    if (index == 0 || index == 1) // free text selects nothing: the width stays
        state_.settings.LW = index + 1;
    DrawTimePreview();
}
