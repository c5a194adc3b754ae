#pragma once
// Opens and reads a data file by name: regular files only, opened without blocking,
// and no more of it than 501 numbers can take up.

#include "DataFile.h"

#include <string>

DataFileRead LoadDataFile(const std::string& path, SampleBuffer& samples);
