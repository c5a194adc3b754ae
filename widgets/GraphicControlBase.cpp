#include "GraphicControlBase.h"

#include <QEvent>

TGraphicControlBase::TGraphicControlBase(QWidget* parent) : QWidget(parent) {}

void TGraphicControlBase::EndLoading() {
    loading_ = false;
    RequestRepaint();
}

void TGraphicControlBase::RequestRepaint() {
    if (!loading_)
        repaint();
}

void TGraphicControlBase::AdjustSize() {
    if (AutoSize && !FillsParent) {
        RefitBounds();
    } else {
        RequestRepaint();
    }
}

void TGraphicControlBase::RefitBounds() {
    if (loading_)
        return;
    const QRect before = geometry();
    SetBounds(before.x(), before.y(), before.width(), before.height());
    if (geometry() == before)
        RequestRepaint();
}

void TGraphicControlBase::SetBounds(int left, int top, int width, int height) {
    setGeometry(left, top, width, height);
}

void TGraphicControlBase::MouseEntered() {
    if (OnMouseEnter)
        OnMouseEnter();
}

void TGraphicControlBase::MouseLeft() {
    if (OnMouseLeave)
        OnMouseLeave();
}

void TGraphicControlBase::FontChanged() {
    if (OnFontChange)
        OnFontChange();
}

void TGraphicControlBase::TextChanged() {
    if (OnTextChange)
        OnTextChange();
}

void TGraphicControlBase::enterEvent(QEnterEvent* e) {
    QWidget::enterEvent(e);
    MouseEntered();
}

void TGraphicControlBase::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    MouseLeft();
}

void TGraphicControlBase::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        FontChanged();
    else if (e->type() == QEvent::WindowTitleChange)
        TextChanged();
}
