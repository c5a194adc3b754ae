#pragma once
// What drganik-rec writes to a name: "-" and .csv a table (of measurements with --measure),
// .drgn a recording, .drg a data file of one block.

#include "BlockExport.h"

#include <optional>
#include <string>

// nullopt for a name that says none of them (measurements go to "-" or a .csv only).
std::optional<ExportFormat> OutputFormat(const std::string& output, bool measure);
