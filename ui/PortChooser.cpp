#include "PortChooser.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The name that survives re-plugging when there is one.
QString Preferred(const SerialDevice& d) {
    return QString::fromStdString(d.stablePath.empty() ? d.kernelPath : d.stablePath);
}

} // namespace

TPortChooser::TPortChooser(QWidget* parent) : QDialog(parent) {
    setObjectName("PortChooser");
    setWindowModality(Qt::WindowModal);
    resize(720, 280);
    auto* layout = new QVBoxLayout(this);
    List = new QTreeWidget(this);
    List->setObjectName("List");
    List->setRootIsDecorated(false);
    List->setHeaderLabels(
        {QStringLiteral("Nazwa stała"), QStringLiteral("Urządzenie"), QStringLiteral("Opis")});
    List->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(List);
    NothingFound = new QLabel(
        QStringLiteral("Nie znaleziono portów szeregowych: podłącz przejściówkę i kliknij \"Odśwież\"."),
        this);
    NothingFound->setObjectName("NothingFound");
    layout->addWidget(NothingFound);
    auto* caption = new QLabel(QStringLiteral("Ścieżka urządzenia (można też wpisać własną):"), this);
    layout->addWidget(caption);
    Path = new QLineEdit(this);
    Path->setObjectName("Path");
    caption->setBuddy(Path);
    layout->addWidget(Path);
    auto* buttons = new QDialogButtonBox(this);
    auto* refresh = buttons->addButton(QStringLiteral("Odśwież"), QDialogButtonBox::ResetRole);
    refresh->setObjectName("RefreshButton");
    OkButton = buttons->addButton(QStringLiteral("Wybierz"), QDialogButtonBox::AcceptRole);
    OkButton->setObjectName("OkButton");
    buttons->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole)->setObjectName("CancelButton");
    layout->addWidget(buttons);

    connect(refresh, &QPushButton::clicked, this, [this] { Refresh(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &TPortChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TPortChooser::reject);
    connect(List, &QTreeWidget::itemSelectionChanged, this, [this] { RowChosen(); });
    connect(List, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(Path, &QLineEdit::textChanged, this,
            [this](const QString& text) { OkButton->setEnabled(!text.trimmed().isEmpty()); });
}

void TPortChooser::Ask(int port, const std::string& current) {
    port_ = port;
    setWindowTitle(QStringLiteral("Urządzenie dla Com%1").arg(port));
    Path->setText(QString::fromStdString(current));
    Refresh(); // selects the current device's row when it is present
    open();
}

void TPortChooser::Refresh() {
    const QString current = Path->text();
    const QSignalBlocker quiet(List); // refilling is no choice of the user's
    List->clear();
    for (const SerialDevice& d : Discover()) {
        auto* row = new QTreeWidgetItem(List, {QString::fromStdString(d.stablePath),
                                               QString::fromStdString(d.kernelPath),
                                               QString::fromStdString(d.description)});
        row->setData(0, Qt::UserRole, Preferred(d));
        if (row->text(0) == current || row->text(1) == current)
            List->setCurrentItem(row);
    }
    NothingFound->setVisible(List->topLevelItemCount() == 0);
}

void TPortChooser::RowChosen() {
    if (const auto* row = List->currentItem())
        Path->setText(row->data(0, Qt::UserRole).toString());
}

void TPortChooser::accept() {
    const std::string path = Path->text().trimmed().toStdString();
    // A line break would end the settings file's line early and start a new entry; no device
    // name holds any other control character either.
    if (path.empty() ||
        std::any_of(path.begin(), path.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; }))
        return;
    QDialog::accept();
    if (OnChosen)
        OnChosen(port_, path);
}
