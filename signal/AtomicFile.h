#pragma once
// Replaces a file's content all at once: a temporary file in the same folder
// is written and synced, then renamed over the target. On any failure the old
// file is untouched and the temporary file removed.

#include <string>

bool WriteFileAtomically(const std::string& path, const std::string& content);
