#pragma once
// The general error box: every handler runs through Run/Guard, so no exception
// ever crosses Qt's event loop. A text already on screen is not shown twice.

#include <QSet>
#include <QString>
#include <functional>
#include <type_traits>

class ErrorBox {
  public:
    explicit ErrorBox(QString caption);

    // Modal box with the error icon and OK.
    void Show(const QString& text);
    // Runs a handler; an error it raises ends it and is shown.
    void Run(const std::function<void()>& handler);
    // Wraps a handler for a signal connection; signal arguments it does not take are dropped.
    template <class F> auto Guard(F handler) {
        return [this, handler](auto&&... args) {
            Run([&] {
                if constexpr (std::is_invocable_v<const F&, decltype(args)...>)
                    handler(args...);
                else
                    handler();
            });
        };
    }
    int OpenBoxes() const { return int(open_.size()); }

  private:
    QString caption_;
    QSet<QString> open_;
};
