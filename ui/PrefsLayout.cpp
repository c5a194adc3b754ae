// The settings dialog's groups, controls and pictures, placed as its form places them.

#include "PortChooser.h"
#include "Prefs.h"
#include "Settings.h"
#include "WebLinks.h"

#include <QLabel>
#include <QPainter>
#include <stdexcept>

namespace {

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

QImage BannerPicture() {
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

// Left of each background thumbnail, in screen order.
constexpr int ThumbLefts[] = {39, 80, 120, 160, 200};

// Created in this order, which is also the keyboard's order through the dialog.
void TForm1::BuildLayout() {
    BuildPortAndWindowGroups();
    BuildAdvancedGroup();
    BuildTimeGroup();
    BuildFourierGroup();
    BuildLinksAndButtons();
}

void TForm1::BuildPortAndWindowGroups() {
    auto* ports = groups_[0] =
        Group(this, "RadioGroup1", {0, 0, 161, 105}, QStringLiteral("Ustawienia portu"));
    ports->setToolTip(QStringLiteral("Zmiana ustawień portu\nnastąpi po ponownym uruchomieniu"));
    const char* items[] = {"Com1", "Com2", "Com3", "Com4 ", "Com5", "Com6", "Com7", "Com8"};
    for (int i = 0; i < 8; ++i) { // two columns
        auto* b = Place<QRadioButton>(ports, "", 8 + (i / 4) * 76, 18 + (i % 4) * 20, 70, 18);
        b->setText(QString::fromLatin1(items[i]));
        RadioGroup1[size_t(i)] = b;
    }
    // On the caption line, so the group's controls stand where they always stood.
    PortDeviceButton = Place<QPushButton>(ports, "PortDeviceButton", 134, 0, 22, 14);
    PortDeviceButton->setText(QStringLiteral("…"));
    PortDeviceButton->setToolTip(QStringLiteral("Urządzenie wybranego portu"));
    PortChooser = new TPortChooser(this);

    auto* windows = groups_[1] =
        Group(this, "GroupBox3", {0, 112, 161, 49}, QStringLiteral("Położenie okien"));
    SpeedButton1 = Place<QPushButton>(windows, "SpeedButton1", 8, 16, 65, 25);
    SpeedButton1->setText(QStringLiteral("Dociągnij"));
    SpeedButton2 = Place<QPushButton>(windows, "SpeedButton2", 80, 16, 73, 25);
    SpeedButton2->setText(QStringLiteral("Wycentruj"));

    auto* misc = groups_[2] = Group(this, "GroupBox4", {0, 168, 161, 41}, QStringLiteral("Różne"));
    CheckBox2 = Place<QCheckBox>(misc, "CheckBox2", 8, 16, 137, 17);
    CheckBox2->setText(QStringLiteral("Włączony pasek statusu"));
}

void TForm1::BuildAdvancedGroup() {
    auto* advanced = groups_[3] = Group(this, "GroupBox5", {0, 208, 409, 65}, QStringLiteral("Zaawansowane"));
    Caption(advanced, 8, 18, QStringLiteral("Timer:"));
    Caption(advanced, 100, 18, QStringLiteral("Timeout:"));
    Caption(advanced, 200, 18, QStringLiteral("Czekaj:"));
    Edit1 = Place<QLineEdit>(advanced, "Edit1", 48, 14, 41, 21);
    Edit2 = Place<QLineEdit>(advanced, "Edit2", 144, 14, 41, 21);
    Edit3 = Place<QLineEdit>(advanced, "Edit3", 240, 14, 41, 21);
    const Settings defaults;
    Edit1->setText(QString::number(defaults.Timer));
    Edit2->setText(QString::number(defaults.Timeout1));
    Edit3->setText(QString::number(defaults.Czekaj1));
    SpeedButton3 = Place<QPushButton>(advanced, "SpeedButton3", 288, 14, 113, 23);
    SpeedButton3->setText(QStringLiteral("Resetuj wartości"));
    CheckBox3 = Place<QCheckBox>(advanced, "CheckBox3", 8, 40, 177, 17);
    CheckBox3->setText(QStringLiteral("Spowolnienie transmisji"));
    CheckBox3->setChecked(true);
}

void TForm1::BuildTimeGroup() {
    auto* time = groups_[4] =
        Group(this, "GroupBox1", {168, 0, 241, 209}, QStringLiteral("Okno przebiegu czasowego"));
    Caption(time, 8, 24, QStringLiteral("Grubość lini:"));
    ComboBox2 = Place<QComboBox>(time, "ComboBox2", 72, 16, 73, 21);
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert); // typed text selects nothing, it adds no width
    ComboBox2->addItems({QStringLiteral("1 px"), QStringLiteral("2 px")});
    Caption(time, 152, 24, QStringLiteral("Kolor lini:"));
    Shape1 = Place<TShapeControl>(time, "Shape1", 200, 16, 33, 21);
    Caption(time, 8, 56, QStringLiteral("Tło:"));
    const int timeOrder[] = {0, 1, 3, 2, 4}; // screen order of the indexes
    for (int slot = 0; slot < BackgroundCount; ++slot) {
        const int index = timeOrder[slot];
        Place<TSmoothBevel>(time, "", ThumbLefts[slot] - 1, 47, 35, 35);
        const QByteArray name = "Image" + QByteArray::number(index + 2);
        auto* thumb = Place<TImage>(time, name.constData(), ThumbLefts[slot], 48, 33, 33);
        thumb->SetPicture(TimePictures[size_t(index)].copy(0, 0, 33, 33));
        thumb->setCursor(Qt::PointingHandCursor);
        TimeThumbnails[size_t(index)] = thumb;
    }
    Place<TSmoothBevel>(time, "", 7, 87, 227, 115);
    Image1 = Place<TImage>(time, "Image1", 8, 88, 225, 113);
}

void TForm1::BuildFourierGroup() {
    auto* fourier = groups_[5] =
        Group(this, "GroupBox6", {416, 0, 249, 209}, QStringLiteral("Okno analizy Fouriera"));
    CheckBox1 = Place<QCheckBox>(fourier, "CheckBox1", 8, 24, 137, 17);
    CheckBox1->setText(QStringLiteral("Wypełnienie przebiegu"));
    Caption(fourier, 152, 24, QStringLiteral("Kolor lini:"));
    Shape2 = Place<TShapeControl>(fourier, "Shape2", 200, 16, 33, 21);
    Caption(fourier, 8, 56, QStringLiteral("Tło:"));
    for (int slot = 0; slot < BackgroundCount; ++slot) {
        const int index = 4 - slot;
        Place<TSmoothBevel>(fourier, "", ThumbLefts[slot] - 1, 47, 35, 35);
        const QByteArray name = "Image" + QByteArray::number(index + 7);
        auto* thumb = Place<TImage>(fourier, name.constData(), ThumbLefts[slot], 48, 33, 33);
        thumb->SetPicture(SpectrumPictures[size_t(index)].copy(0, 0, 33, 33));
        thumb->setCursor(Qt::PointingHandCursor);
        SpectrumThumbnails[size_t(index)] = thumb;
    }
    Place<TSmoothBevel>(fourier, "", 7, 87, 227, 115);
    Image12 = Place<TImage>(fourier, "Image12", 8, 88, 225, 113);
}

void TForm1::BuildLinksAndButtons() {
    Image13 = Place<TImage>(this, "Image13", 416, 212, 90, 56);
    Image13->SetPicture(Logo());
    Image13->setCursor(Qt::PointingHandCursor);
    Image13->OnClick = [this] { Image13Click(); };
    Banner = Place<TImage>(this, "Banner", 512, 212, 154, 34);
    Banner->SetPicture(BannerPicture());
    Banner->setCursor(Qt::PointingHandCursor);
    Banner->setToolTip(kMakerUrl);
    Banner->OnClick = [this] { BannerClick(); };

    Button2 = Place<QPushButton>(this, "Button2", 512, 248, 75, 25);
    Button2->setText(QStringLiteral("Anuluj"));
    Button2->setAutoDefault(false);
    Button1 = Place<QPushButton>(this, "Button1", 592, 248, 75, 25);
    Button1->setText(QStringLiteral("Zapisz"));
    Button1->setDefault(true);
}

const QCheckBox& TForm1::OptionBox(Option which) const {
    switch (which) {
    case Option::FillSpectrum:
        return *CheckBox1;
    case Option::StatusBar:
        return *CheckBox2;
    case Option::SlowTransfer:
        return *CheckBox3;
    }
    throw std::logic_error("no such option");
}

const QLineEdit& TForm1::TimingField(Timing which) const {
    switch (which) {
    case Timing::Timer:
        return *Edit1;
    case Timing::Timeout:
        return *Edit2;
    case Timing::Wait:
        return *Edit3;
    }
    throw std::logic_error("no such field");
}

const QAbstractButton& TForm1::Button(DialogButton which) const {
    switch (which) {
    case DialogButton::Save:
        return *Button1;
    case DialogButton::Cancel:
        return *Button2;
    case DialogButton::PortDevice:
        return *PortDeviceButton;
    }
    throw std::logic_error("no such button");
}
