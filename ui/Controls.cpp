#include "Controls.h"

#include "PlainToolTip.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QToolTip>

namespace {

QFont MakeFont(const QString& family, QFont::StyleHint hint, int pixelSize, bool bold) {
    QFont f(family);
    f.setStyleHint(hint);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

} // namespace

QFont UiFont(int pixelSize, bool bold) {
    return MakeFont(QStringLiteral("Liberation Sans"), QFont::SansSerif, pixelSize, bold);
}

QFont SerifFont(int pixelSize, bool bold) {
    return MakeFont(QStringLiteral("Liberation Serif"), QFont::Serif, pixelSize, bold);
}

TSmoothPanel::TSmoothPanel(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
}

TSmoothBevel::TSmoothBevel(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TSmoothBevel::SetRaised(bool raised) {
    setFrameShadow(raised ? QFrame::Raised : QFrame::Sunken);
}

void TSmoothBevel::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    // Only the frame is drawn: a view repainting inside it leaves the bevel out.
    const int w = frameWidth();
    setMask(QRegion(rect()) - QRegion(rect().adjusted(w, w, -w, -w)));
}

TGroupBox::TGroupBox(QWidget* parent) : QWidget(parent) {}

void TGroupBox::SetTitle(const QString& title) {
    if (title == title_)
        return;
    title_ = title;
    update();
}

void TGroupBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics fm(font());
    const QRect frame(0, fm.height() / 2, width() - 1, height() - 1 - fm.height() / 2);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(frame.adjusted(1, 1, 0, 0));
    const QRect caption(6, 0, fm.horizontalAdvance(title_) + 4, fm.height());
    p.fillRect(caption, palette().color(QPalette::Window));
    // A small control on the caption line interrupts the frame as the caption does.
    for (const QObject* o : children())
        if (const auto* c = qobject_cast<const QWidget*>(o); c && c->y() < fm.height())
            p.fillRect(c->geometry().adjusted(-2, 0, 2, 0), palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(caption, Qt::AlignCenter, title_);
}

TSmoothButton::TSmoothButton(QWidget* parent) : KeyboardButton(parent) {}

TSmoothFlatButton::TSmoothFlatButton(QWidget* parent) : KeyboardButton(parent) {
    setAutoRaise(true);
    setFocusPolicy(Qt::TabFocus);
}

void TSmoothFlatButton::SetGlyph(const QImage& glyph) {
    setIcon(QIcon(QPixmap::fromImage(glyph)));
    setIconSize(glyph.size());
}

TRepeatSpeedButton::TRepeatSpeedButton(QWidget* parent) : KeyboardButton(parent) {
    setAutoRaise(true);
    setFocusPolicy(Qt::TabFocus);
    setAutoRepeat(true);
    setAutoRepeatDelay(500);
    setAutoRepeatInterval(100);
}

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetPicture(const QImage& picture) {
    if (picture == picture_)
        return;
    picture_ = picture;
    update();
}

void TImage::SetCenter(bool on) {
    if (on == center_)
        return;
    center_ = on;
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    QPainter p(this);
    const QPoint at =
        center_ ? QPoint((width() - picture_.width()) / 2, (height() - picture_.height()) / 2) : QPoint(0, 0);
    p.drawImage(at, picture_);
    DrawFocusMark(p, *this, rect());
}

void TImage::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        pressed_ = true;
}

void TImage::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    if (rect().contains(e->position().toPoint()) && OnClick)
        OnClick();
}

void TImage::mouseDoubleClickEvent(QMouseEvent*) {}

// Space goes to a marked picture rather than to the window's own keys.
bool TImage::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride && IsPressKey(*static_cast<QKeyEvent*>(e)) &&
        ShowsFocusMark(*this)) {
        e->accept();
        return true;
    }
    return QWidget::event(e);
}

void TImage::keyPressEvent(QKeyEvent* e) {
    if (!IsPressKey(*e) || !ShowsFocusMark(*this)) {
        QWidget::keyPressEvent(e);
        return;
    }
    if (!e->isAutoRepeat() && OnClick)
        OnClick();
}

void TImage::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    update();
}

void TImage::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    update();
}

TShapeControl::TShapeControl(QWidget* parent) : QWidget(parent) {}

void TShapeControl::SetColor(QColor c) {
    if (c == color_)
        return;
    color_ = c;
    update();
}

void TShapeControl::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), color_);
}

void TShapeControl::mousePressEvent(QMouseEvent*) {
    if (OnMouseDown)
        OnMouseDown();
}

TStatusBar::TStatusBar(QWidget* parent, std::vector<TStatusPanel> panels)
    : QWidget(parent), panels_(std::move(panels)), hints_(panels_.size()) {}

void TStatusBar::SetPanelHint(int index, const QString& hint) {
    hints_.at(size_t(index)) = PlainToolTip(hint); // device paths and the like: never markup
}

bool TStatusBar::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip)
        return QWidget::event(e);
    const auto* help = static_cast<QHelpEvent*>(e);
    int left = 0;
    for (size_t i = 0; i < panels_.size(); left += panels_[i++].width)
        if (help->pos().x() >= left && help->pos().x() < left + panels_[i].width && !hints_[i].isEmpty()) {
            QToolTip::showText(help->globalPos(), hints_[i], this);
            return true;
        }
    QToolTip::hideText();
    e->ignore();
    return true;
}

void TStatusBar::SetPanelText(int index, const QString& text) {
    auto& panel = panels_.at(size_t(index));
    if (panel.text == text)
        return;
    panel.text = text;
    update();
}

// The text's room: the panel less its bevel and a margin of 2 on each side.
QFont TStatusBar::PanelFont(int index) const {
    const auto& panel = panels_.at(size_t(index));
    return FittingFont(font(), panel.text, panel.width - 6);
}

void TStatusBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    int left = 0;
    for (size_t i = 0; i < panels_.size(); ++i) {
        const auto& panel = panels_[i];
        const QRect r(left, 2, panel.width - 2, height() - 2);
        if (panel.lowered) {
            p.setPen(palette().color(QPalette::Dark));
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(palette().color(QPalette::Light));
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
        }
        p.setPen(palette().color(QPalette::WindowText));
        p.setFont(PanelFont(int(i)));
        p.drawText(r.adjusted(2, 0, -2, 0), int(panel.alignment | Qt::AlignVCenter), panel.text);
        left += panel.width;
    }
}

QFont FittingFont(QFont font, const QString& text, int width) {
    while (font.pixelSize() > 6 && QFontMetrics(font).horizontalAdvance(text) > width)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

QImage WithTransparentColor(const QImage& picture, QRgb key) {
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] & 0xFFFFFF) == (key & 0xFFFFFF))
                line[x] = 0;
    }
    return out;
}
