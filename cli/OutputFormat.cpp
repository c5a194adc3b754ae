#include "OutputFormat.h"

std::optional<ExportFormat> OutputFormat(const std::string& output, bool measure) {
    const auto format = output == "-" ? std::optional(ExportFormat::Samples) : ExportFormatOf(output);
    if (!measure)
        return format;
    return format == ExportFormat::Samples ? std::optional(ExportFormat::Measurements) : std::nullopt;
}
