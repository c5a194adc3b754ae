#pragma once
// What to tell a user who was refused a serial device: which group may use it.

#include <string>

// The group whose members may read and write the device node; empty when the node cannot be looked up,
// its group has no read-write access, or it is root's group (never advice worth giving).
std::string AccessGroup(const std::string& path);

// The one-line hint for a refused open, e.g. "Dostęp do /dev/ttyUSB0 ma grupa dialout: dodaj swoje konto do
// tej grupy (sudo usermod -aG dialout $USER) i zaloguj się ponownie."
std::string AccessHintText(const std::string& path, const std::string& group);
