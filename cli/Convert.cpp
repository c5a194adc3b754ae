#include "Convert.h"

#include "BlockExport.h"
#include "Messages.h"
#include "OutputFormat.h"
#include "RecordingReader.h"
#include "RegularFile.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void Say(const std::string& message) {
    std::fprintf(stderr, "drganik-rec: %s\n", message.c_str());
}

std::string WithName(const char* message, const std::string& name) {
    std::string text = Tr(message);
    if (const auto at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, name);
    return text;
}

} // namespace

int ConvertRecording(const RecOptions& o) {
    const auto format = OutputFormat(o.output, o.measure);
    if (!format) {
        Say(WithName(
            "cannot tell what to write from the name %s: use .csv, .drgn or .drg (--measure: .csv or -)",
            o.output));
        return 2;
    }
    // The input first: nothing is created or emptied for a recording that cannot be read.
    OpenedFile in = OpenRegularForReading(o.input);
    if (!in.file.IsOpen()) {
        Say(WithName("cannot read %s: ", o.input) + ErrnoText(in.notRegular ? ENXIO : in.error));
        return 1;
    }
    // Writing the recording over itself would empty it before a block of it is read.
    struct stat input {
    }, output{};
    if (o.output != "-" && ::fstat(in.file.Get(), &input) == 0 && ::stat(o.output.c_str(), &output) == 0 &&
        input.st_dev == output.st_dev && input.st_ino == output.st_ino) {
        Say(WithName("%s is the recording itself: choose another file to write", o.output));
        return 2;
    }
    int error = 0;
    auto out = o.output == "-" ? BlockExport::OnDescriptor(STDOUT_FILENO, *format, error)
                               : BlockExport::Create(o.output, *format, error);
    if (!out) {
        Say(WithName("cannot write %s: ", o.output) + ErrnoText(error));
        return 1;
    }
    std::uint64_t number = 0;
    const RecordingRead read = ReadRecording(in.file.Get(), [&](const CapturedBlock& block, std::uint64_t) {
        ++number;
        if (o.from && number < *o.from)
            return true;
        if (o.to && number > *o.to)
            return false;
        return out->Append(number, block);
    });
    if (!read.recording) {
        Say(WithName("%s is not a recording", o.input));
        return 1;
    }
    if (!out->Finish() || out->Error() != 0 || out->NotOneBlock()) {
        Say(WithName("cannot write %s: ", o.output) +
            (out->NotOneBlock()
                 ? std::string(Tr("a .drg data file holds one block: choose it with --from and --to"))
                 : ErrnoText(out->Error())));
        return 1;
    }
    if (!read.error.empty() && !read.cutShort) {
        Say(WithName("%s is damaged after the blocks converted", o.input));
        return 1;
    }
    if (read.cutShort)
        Say(WithName("the last block of %s is cut short and was left out", o.input));
    return 0;
}
