#pragma once
// drganik-rec --convert: a recording read block by block and written as it is read,
// so a recording of hours converts in the memory of a block or two.

#include "RecOptions.h"

// The exit status: 0 done, 1 a file could not be read or written, 2 the output's type is unknown.
int ConvertRecording(const RecOptions& options);
