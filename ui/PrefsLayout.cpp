// The settings dialog's groups, controls and pictures, placed as its form places them.

#include "PortChooser.h"
#include "Prefs.h"
#include "Settings.h"
#include "WebLinks.h"

#include <QLabel>
#include <QPainter>
#include <stdexcept>
#include <type_traits>
#include <variant>

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

// Com1..Com8 in two columns.
std::array<QRadioButton*, 8> PortButtons(QWidget* group) {
    const char* items[] = {"Com1", "Com2", "Com3", "Com4 ", "Com5", "Com6", "Com7", "Com8"};
    std::array<QRadioButton*, 8> buttons{};
    for (int i = 0; i < 8; ++i) {
        auto* b = Place<QRadioButton>(group, "", 8 + (i / 4) * 76, 18 + (i % 4) * 20, 70, 18);
        b->setText(QString::fromLatin1(items[i]));
        buttons[size_t(i)] = b;
    }
    return buttons;
}

QComboBox* PlaceLineWidthBox(QWidget* group) {
    auto* box = Place<QComboBox>(group, "ComboBox2", 72, 16, 73, 21);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert); // typed text selects nothing, it adds no width
    box->addItems({QStringLiteral("1 px"), QStringLiteral("2 px")});
    return box;
}

// One control of a group as the form places it; a row without a member is a caption, placed
// by its top-left corner at its own size.
struct ControlRow {
    std::variant<std::nullptr_t, QPushButton**, QCheckBox**, QLineEdit**, TShapeControl**> member;
    const char* name;
    QRect place;
    QString text;
};

template <class W> W* PlaceRow(QWidget* group, const ControlRow& row) {
    return Place<W>(group, row.name, row.place.x(), row.place.y(), row.place.width(), row.place.height());
}

// The rows of a group, in their order of creation (which is the order Tab takes).
void PlaceControls(QWidget* group, std::initializer_list<ControlRow> rows) {
    for (const ControlRow& row : rows)
        std::visit(
            [&](auto member) {
                if constexpr (std::is_same_v<decltype(member), std::nullptr_t>) {
                    Caption(group, row.place.x(), row.place.y(), row.text);
                } else {
                    using W = std::remove_pointer_t<std::remove_pointer_t<decltype(member)>>;
                    *member = PlaceRow<W>(group, row);
                    if constexpr (!std::is_same_v<W, TShapeControl>)
                        (*member)->setText(row.text);
                }
            },
            row.member);
}

// A row of background thumbnails with the preview below; order[slot] is the index shown in a
// slot, named Image<firstNumber + index>.
TImage* PlaceBackgrounds(QWidget* group, const std::array<int, BackgroundCount>& order, int firstNumber,
                         const std::array<QImage, BackgroundCount>& pictures,
                         std::array<TImage*, BackgroundCount>& thumbnails, const char* previewName) {
    const int thumbLefts[] = {39, 80, 120, 160, 200};
    for (int slot = 0; slot < BackgroundCount; ++slot) {
        const int index = order[size_t(slot)];
        Place<TSmoothBevel>(group, "", thumbLefts[slot] - 1, 47, 35, 35);
        const QByteArray name = "Image" + QByteArray::number(index + firstNumber);
        auto* thumb = Place<TImage>(group, name.constData(), thumbLefts[slot], 48, 33, 33);
        thumb->SetPicture(pictures[size_t(index)].copy(0, 0, 33, 33));
        thumb->setCursor(Qt::PointingHandCursor);
        thumbnails[size_t(index)] = thumb;
    }
    Place<TSmoothBevel>(group, "", 7, 87, 227, 115);
    return Place<TImage>(group, previewName, 8, 88, 225, 113);
}

TImage* ClickablePicture(QWidget* parent, const char* name, QPoint topLeft, const QImage& picture) {
    auto* img = Place<TImage>(parent, name, topLeft.x(), topLeft.y(), picture.width(), picture.height());
    img->SetPicture(picture);
    img->setCursor(Qt::PointingHandCursor);
    return img;
}

} // namespace

// In the form's creation order, which is the order Tab takes.
void TForm1::BuildLayout() {
    auto* ports = groups_[0] =
        Group(this, "RadioGroup1", {0, 0, 161, 105}, QStringLiteral("Ustawienia portu"));
    ports->setToolTip(QStringLiteral("Zmiana ustawień portu\nnastąpi po ponownym uruchomieniu"));
    RadioGroup1 = PortButtons(ports);
    // On the caption line, so the group's controls stand where they always stood.
    PlaceControls(ports, {{&PortDeviceButton, "PortDeviceButton", {134, 0, 22, 14}, QStringLiteral("…")}});
    PortDeviceButton->setToolTip(QStringLiteral("Urządzenie wybranego portu"));
    PortChooser = new TPortChooser(this);

    groups_[1] = Group(this, "GroupBox3", {0, 112, 161, 49}, QStringLiteral("Położenie okien"));
    PlaceControls(groups_[1],
                  {{&SpeedButton1, "SpeedButton1", {8, 16, 65, 25}, QStringLiteral("Dociągnij")},
                   {&SpeedButton2, "SpeedButton2", {80, 16, 73, 25}, QStringLiteral("Wycentruj")}});
    groups_[2] = Group(this, "GroupBox4", {0, 168, 161, 41}, QStringLiteral("Różne"));
    PlaceControls(groups_[2],
                  {{&CheckBox2, "CheckBox2", {8, 16, 137, 17}, QStringLiteral("Włączony pasek statusu")}});
    groups_[3] = Group(this, "GroupBox5", {0, 208, 409, 65}, QStringLiteral("Zaawansowane"));
    const Settings defaults; // what the fields show until the settings are loaded
    PlaceControls(groups_[3],
                  {{nullptr, "", {8, 18, 0, 0}, QStringLiteral("Timer:")},
                   {nullptr, "", {100, 18, 0, 0}, QStringLiteral("Timeout:")},
                   {nullptr, "", {200, 18, 0, 0}, QStringLiteral("Czekaj:")},
                   {&Edit1, "Edit1", {48, 14, 41, 21}, QString::number(defaults.Timer)},
                   {&Edit2, "Edit2", {144, 14, 41, 21}, QString::number(defaults.Timeout1)},
                   {&Edit3, "Edit3", {240, 14, 41, 21}, QString::number(defaults.Czekaj1)},
                   {&SpeedButton3, "SpeedButton3", {288, 14, 113, 23}, QStringLiteral("Resetuj wartości")},
                   {&CheckBox3, "CheckBox3", {8, 40, 177, 17}, QStringLiteral("Spowolnienie transmisji")}});
    CheckBox3->setChecked(true);

    auto* time = groups_[4] =
        Group(this, "GroupBox1", {168, 0, 241, 209}, QStringLiteral("Okno przebiegu czasowego"));
    Caption(time, 8, 24, QStringLiteral("Grubość lini:"));
    ComboBox2 = PlaceLineWidthBox(time);
    PlaceControls(time, {{nullptr, "", {152, 24, 0, 0}, QStringLiteral("Kolor lini:")},
                         {&Shape1, "Shape1", {200, 16, 33, 21}, {}},
                         {nullptr, "", {8, 56, 0, 0}, QStringLiteral("Tło:")}});
    Image1 = PlaceBackgrounds(time, {0, 1, 3, 2, 4}, 2, TimePictures, TimeThumbnails, "Image1"); // 3 before 2

    auto* fourier = groups_[5] =
        Group(this, "GroupBox6", {416, 0, 249, 209}, QStringLiteral("Okno analizy Fouriera"));
    PlaceControls(fourier,
                  {{&CheckBox1, "CheckBox1", {8, 24, 137, 17}, QStringLiteral("Wypełnienie przebiegu")},
                   {nullptr, "", {152, 24, 0, 0}, QStringLiteral("Kolor lini:")},
                   {&Shape2, "Shape2", {200, 16, 33, 21}, {}},
                   {nullptr, "", {8, 56, 0, 0}, QStringLiteral("Tło:")}});
    Image12 = PlaceBackgrounds(fourier, {4, 3, 2, 1, 0}, 7, SpectrumPictures, SpectrumThumbnails, "Image12");

    Image13 = ClickablePicture(this, "Image13", {416, 212}, Logo());
    Image13->OnClick = [this] { Image13Click(); };
    Banner = ClickablePicture(this, "Banner", {512, 212}, BannerPicture());
    Banner->setToolTip(kMakerUrl);
    Banner->OnClick = [this] { BannerClick(); };

    PlaceControls(this, {{&Button2, "Button2", {512, 248, 75, 25}, QStringLiteral("Anuluj")},
                         {&Button1, "Button1", {592, 248, 75, 25}, QStringLiteral("Zapisz")}});
    Button2->setAutoDefault(false);
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
