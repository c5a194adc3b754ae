#pragma once
// The visual control set the windows are built from: panels, bevels, flat
// and toggle buttons with glyphs, auto-repeat buttons, pictures, shapes and
// the status bar. Appearance only; behaviour is wired by the windows.

#include "KeyboardButton.h"

#include <QFrame>
#include <QImage>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <vector>

// Creates a child with object name and geometry (left, top, width, height).
template <class W> W* Place(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* w = new W(parent);
    w->setObjectName(name);
    w->setGeometry(left, top, width, height);
    return w;
}

// The windows' font: "MS Sans Serif" 8 points on the original, an 11-pixel sans here.
QFont UiFont(int pixelSize = 11, bool bold = false);
// The scale labels' serif font with the given character height.
QFont SerifFont(int pixelSize, bool bold = false);

class TSmoothPanel : public QFrame {
  public:
    explicit TSmoothPanel(QWidget* parent);
};

class TSmoothBevel : public QFrame {
  public:
    explicit TSmoothBevel(QWidget* parent);
    void SetRaised(bool raised);

  protected:
    void resizeEvent(QResizeEvent* e) override;
};

// A captioned group: an etched frame whose top line runs through the middle of the
// caption, as the classic group box draws it, so that controls placed just below the
// caption stay clear of the frame.
class TGroupBox : public QWidget {
  public:
    explicit TGroupBox(QWidget* parent);
    void SetTitle(const QString& title);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QString title_;
};

class TSmoothButton : public KeyboardButton<QPushButton> {
  public:
    explicit TSmoothButton(QWidget* parent);
};

// Reached by Tab, never focused by a click.
class TSmoothFlatButton : public KeyboardButton<QToolButton> {
  public:
    explicit TSmoothFlatButton(QWidget* parent);
    void SetGlyph(const QImage& glyph);
};

// Repeats its click while held: first after 500 ms, then every 100 ms. Reached by Tab only.
class TRepeatSpeedButton : public KeyboardButton<QToolButton> {
  public:
    explicit TRepeatSpeedButton(QWidget* parent);
};

// A picture, optionally centred, optionally leaving out a key colour. Given a focus policy,
// Space or Enter on it, once its focus mark shows, is a click.
class TImage : public QWidget {
  public:
    explicit TImage(QWidget* parent);
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }
    void SetCenter(bool on);
    // A completed left click: pressed and released on the picture. The second
    // press of a double click is no click.
    std::function<void()> OnClick;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

  private:
    QImage picture_;
    bool center_ = false;
    bool pressed_ = false;
};

// A filled rectangle (distance bars, colour swatches).
class TShapeControl : public QWidget {
  public:
    explicit TShapeControl(QWidget* parent);
    void SetColor(QColor c);
    QColor Color() const { return color_; }
    std::function<void()> OnMouseDown; // any button

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

  private:
    QColor color_ = Qt::black;
};

struct TStatusPanel {
    int width;
    QString text;
    Qt::Alignment alignment;
    bool lowered;
};

class TStatusBar : public QWidget {
  public:
    TStatusBar(QWidget* parent, std::vector<TStatusPanel> panels);
    QString PanelText(int index) const { return panels_.at(size_t(index)).text; }
    void SetPanelText(int index, const QString& text);
    QString PanelHint(int index) const { return hints_.at(size_t(index)); }
    void SetPanelHint(int index, const QString& hint);
    // The bar's font, smaller where a panel's text would not fit its panel.
    QFont PanelFont(int index) const;

  protected:
    void paintEvent(QPaintEvent*) override;
    bool event(QEvent* e) override; // the hint of the panel under the mouse

  private:
    std::vector<TStatusPanel> panels_;
    std::vector<QString> hints_;
};

// The font made smaller, down to 6 pixels, until the text fits the width.
QFont FittingFont(QFont font, const QString& text, int width);

// Makes a picture's key colour transparent (an alpha channel of its own).
QImage WithTransparentColor(const QImage& picture, QRgb key);
