#include "LevelDialog.h"

#include "LevelEntry.h"
#include "NumberText.h"
#include "TriggerState.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

TLevelDialog::TLevelDialog(QWidget* parent, int levelPosition) : QDialog(parent), level_(levelPosition) {
    setObjectName("LevelDialog");
    setWindowTitle(QStringLiteral("Poziom wyzwalania"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Poziom wyzwalania (V lub mV):"), this));
    field_ = new QLineEdit(this);
    TriggerState shown; // the read-out's rounding, so the field and the label agree
    SetTriggerLevel(shown, levelPosition);
    const double volts = shown.TriggerLevelTens / 100.0;
    field_->setText(QString::fromStdString(NumberText(volts, " V", QLocale().decimalPoint().toStdString())));
    field_->selectAll();
    layout->addWidget(field_);
    error_ = new QLabel(this);
    QPalette red = error_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    error_->setPalette(red);
    error_->hide();
    layout->addWidget(error_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Anuluj"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TLevelDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TLevelDialog::reject);
    layout->addWidget(buttons);
}

QString TLevelDialog::Error() const {
    return error_->isVisibleTo(this) ? error_->text() : QString();
}

void TLevelDialog::accept() {
    const LevelEntry entry = ParseLevelEntry(field_->text().toStdString());
    if (!entry.position) {
        error_->setText(QString::fromStdString(entry.error));
        error_->show();
        field_->setFocus();
        return;
    }
    level_ = *entry.position;
    QDialog::accept();
}
