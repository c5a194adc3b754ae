#pragma once
// The text format of a recording: a first line naming it, a comment line with
// the columns, then per block one header line and one line of its 500 samples,
// all fields separated by single spaces, lines ending in LF (CR LF is read too):
//
//   Drganik nagranie 1
//   # B numer czas_ms czas T/dz V/dz wyzwalanie poziom tryb ; potem 500 próbek
//   B 1 1714567331400 2024-05-01T14:02:11.400 3 0 1 512 S
//   512 530 547 ...
//
// czas_ms counts milliseconds since 1970 (UTC); czas is the same moment in local
// time; wyzwalanie is 0 off, 1 rising, 2 falling; tryb is S fast, P progressive.
// A block is whole once its sample line ends: a last block cut short by a crash
// or a full disk is no block.

#include "CapturedBlock.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view RecordingFirstLine = "Drganik nagranie 1";
// No line of a recording is longer (500 samples of five digits and their spaces take
// 2999 bytes): a longer one is damage, and reading never holds more than this of it.
inline constexpr std::size_t MaxRecordingLine = 4096;

// The first two lines of a new recording.
std::string RecordingPreamble();
// A block's two lines, appended to out.
void AppendRecordedBlock(std::string& out, std::uint64_t number, const CapturedBlock& block);

// The header line of a block (without its line end) into block; nullopt when it is none.
std::optional<std::uint64_t> ParseBlockHeader(std::string_view line, CapturedBlock& block);
// The sample line (without its line end) into block; false unless exactly 500 samples.
bool ParseBlockSamples(std::string_view line, CapturedBlock& block);
