#pragma once
// Answers message boxes that a handler opens, recording their captions and texts;
// every box must show its text as plain text.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon;
};

class BoxWatcher {
  public:
    BoxWatcher() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible() && !closeLater_) {
                    EXPECT_EQ(box->textFormat(), Qt::PlainText)
                        << "renders markup: " << box->text().toStdString();
                    seen.push_back({box->windowTitle(), box->text(), box->icon()});
                    box->accept();
                }
        });
        timer_.start();
    }
    // Leave boxes open (to test stacking); they are answered when this is cleared.
    void HoldBoxes(bool hold) { closeLater_ = hold; }
    std::vector<SeenBox> seen;

  private:
    QTimer timer_;
    bool closeLater_ = false;
};
