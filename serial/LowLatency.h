#pragma once
// Asks a USB serial adapter's driver to hand received bytes on at once: many
// adapters otherwise hold the last piece of a reply for their latency timer.

#include <optional>

// The driver's flags before the request, to restore on close; none when the device
// has no such setting (a pseudo-terminal) or the driver refuses it.
std::optional<int> RequestLowLatency(int fd);
void RestoreSerialFlags(int fd, int flags);
