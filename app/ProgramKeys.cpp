#include "ProgramKeys.h"

#include <QDialog>
#include <QShortcut>

bool BoundIn(const KeyBinding& binding, const QWidget& window) {
    return binding.inDialogs || !qobject_cast<const QDialog*>(&window);
}

void BindProgramKeys(QWidget& window, const std::function<void(Command)>& run) {
    for (const KeyBinding& binding : ProgramKeys) {
        if (!BoundIn(binding, window))
            continue;
        auto* shortcut = new QShortcut(QKeySequence(binding.key), &window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &window,
                         [run, command = binding.command] { run(command); });
    }
}
