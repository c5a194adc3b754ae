#pragma once
// The trigger level typed as a value: "2,5", "2.5 V", "750 mV". A wrong text is said under the
// field and the dialog stays open.

#include <QDialog>

class QLabel;
class QLineEdit;

class TLevelDialog : public QDialog {
  public:
    TLevelDialog(QWidget* parent, int levelPosition);
    // The level position (1..1023) the accepted text names.
    int Level() const { return level_; }
    QLineEdit& Field() const { return *field_; }
    QString Error() const;
    void accept() override;

  private:
    QLineEdit* field_;
    QLabel* error_;
    int level_;
};
