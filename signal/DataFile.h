#pragma once
// Waveform data files: 500 sample lines and one T/dz line, decimal, CR LF.

#include "SampleBuffer.h"

#include <string>
#include <string_view>

// The file's whole text for samples 0..499 and a T/dz position.
std::string FormatDataFile(const SampleBuffer& samples, int timebase);

struct DataFileRead {
    bool ok = false;       // false: a token was not an integer (or overflowed)
    int timebase = 0;      // value 500 (0 when the file ends early)
    int samplesStored = 0; // words written into the buffer, also on failure
};

// Reads 501 integers, each followed by the rest of its line. Value k (0..499)
// goes into word k as its low 16 bits right after it is read; words 500..999
// are untouched. A file that ends early gives zeros; Ctrl+Z ends the file.
// With `more` the text is only the start of the file: running into its end fails.
DataFileRead ReadDataFile(std::string_view text, SampleBuffer& samples, bool more = false);

// A name without an extension gets ".drg".
std::string WithDataFileExtension(const std::string& path);
