#pragma once
// The dialogs of the capture window's "Zapisz zakres…": which blocks, and into which file.

#include <QString>
#include <cstdint>

class QWidget;

// A CSV table or a recording; the name gets the chosen kind's extension when it has none.
// Empty when cancelled; folder follows the choice.
QString AskRangeFile(QWidget* parent, QString& folder);
// From and to within 1..size, preset to the whole; false when cancelled.
bool AskBlockRange(QWidget* parent, std::uint64_t size, std::uint64_t& from, std::uint64_t& to);
