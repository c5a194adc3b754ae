#include "PlainTextBoxes.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>

namespace {

class PlainTextFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* box = qobject_cast<QMessageBox*>(watched))
                box->setTextFormat(Qt::PlainText);
        return false;
    }
};

} // namespace

void InstallPlainTextMessageBoxes(QApplication& app) {
    app.installEventFilter(new PlainTextFilter(&app));
}
