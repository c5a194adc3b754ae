#pragma once
// A file-size limit (ulimit -f) must fail a save, not end the program: the
// signal it raises is ignored, so the write reports EFBIG and the save its error.

void KeepRunningAtFileSizeLimit();
