#pragma once
// Base of the windowless controls: repaint requests that respect form loading,
// bounds that a subclass may impose, and optional notifications for mouse
// enter/leave and font/text changes.

#include <QString>
#include <QWidget>
#include <functional>

class TGraphicControlBase : public QWidget {
  public:
    explicit TGraphicControlBase(QWidget* parent = nullptr);

    static QString Version() { return QStringLiteral("1.3"); }

    // While loading from a form, range checks are off and repaints are ignored.
    void BeginLoading() { loading_ = true; }
    virtual void EndLoading();
    bool Loading() const { return loading_; }

    bool AutoSize = false;
    bool FillsParent = false;
    std::function<void()> OnMouseEnter, OnMouseLeave, OnFontChange, OnTextChange;

    virtual void RequestRepaint();
    virtual void AdjustSize();
    virtual void RefitBounds();
    // Sets the bounds; a subclass may replace the size with its own.
    virtual void SetBounds(int left, int top, int width, int height);

  protected:
    virtual void MouseEntered();
    virtual void MouseLeft();
    virtual void FontChanged();
    virtual void TextChanged();

    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;

  private:
    bool loading_ = false;
};
