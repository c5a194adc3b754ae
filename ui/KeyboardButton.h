#pragma once
// A button the keyboard presses as the mouse does. Once the keyboard has moved the focus to
// it (its mark shows), Space and Enter go to the button rather than to the window's own keys;
// held, they hold the button down, so an auto-repeat button repeats as under a held mouse.

#include "KeyboardFocus.h"

#include <QKeyEvent>
#include <QPainter>

template <class Button> class KeyboardButton : public Button {
  public:
    using Button::Button;

  protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::ShortcutOverride && IsPressKey(*static_cast<QKeyEvent*>(e)) &&
            ShowsFocusMark(*this)) {
            e->accept();
            return true;
        }
        return Button::event(e);
    }
    void paintEvent(QPaintEvent* e) override {
        Button::paintEvent(e);
        QPainter p(this);
        DrawFocusMark(p, *this, this->rect());
    }
    // Enter works the button as Space does.
    void keyPressEvent(QKeyEvent* e) override {
        if (IsEnterKey(*e) && ShowsFocusMark(*this)) {
            QKeyEvent space = AsSpace(*e);
            Button::keyPressEvent(&space);
        } else {
            Button::keyPressEvent(e);
        }
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        if (IsEnterKey(*e) && ShowsFocusMark(*this)) {
            QKeyEvent space = AsSpace(*e);
            Button::keyReleaseEvent(&space);
        } else {
            Button::keyReleaseEvent(e);
        }
    }

  private:
    static QKeyEvent AsSpace(const QKeyEvent& e) {
        return QKeyEvent(e.type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), e.isAutoRepeat());
    }
};
