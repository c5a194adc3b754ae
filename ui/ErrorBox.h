#pragma once
// The general error box: every handler runs through Run/Guard, so no exception
// ever crosses Qt's event loop. At most one box is open; a newer error replaces
// the text of the one on screen.

#include <QString>
#include <functional>
#include <type_traits>

class QMessageBox;

class ErrorBox {
  public:
    explicit ErrorBox(QString caption);

    // Modal box with the error icon and OK.
    void Show(const QString& text);
    // Runs a handler; an error it raises ends it and is shown.
    void Run(const std::function<void()>& handler);
    // Wraps a handler for a signal connection; signal arguments it does not take are dropped.
    template <class F> auto Guard(F handler) {
        return [ this, handler ](auto&&... args) -> void requires(
                                                     std::is_invocable_v<const F&, decltype(args)...> ||
                                                     std::is_invocable_v<const F&>) {
            Run([&] { Call(handler, args...); });
        };
    }
    int OpenBoxes() const { return open_ ? 1 : 0; }
    QString OpenText() const; // the text of the box on screen, or empty

  private:
    template <class F, class... A> static void Call(const F& f, A&&... args) {
        if constexpr (std::is_invocable_v<const F&, A...>)
            f(std::forward<A>(args)...);
        else
            f();
    }

    QString caption_;
    QMessageBox* open_ = nullptr;
};
