#pragma once
// Replaces a file's content all at once: a temporary file beside the target
// is written and synced, then renamed over it. On any failure the old file is
// untouched and the temporary file removed. A link is written through to its
// target, whose permissions stay; a file the user may not write, and anything
// that is not a regular file (a FIFO, a device, a folder), is refused.
// Where a rename would lose something (the folder forbids new files, the file
// has other hard links or another owner) the file is rewritten in place.

#include <string>

bool WriteFileAtomically(const std::string& path, const std::string& content);
