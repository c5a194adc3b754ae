#include "BlockExport.h"

#include "AtomicFile.h"
#include "BlockCsv.h"
#include "DataFile.h"
#include "RecordingFormat.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c); });
    return text;
}

std::string Preamble(ExportFormat format) {
    switch (format) {
    case ExportFormat::Samples:
        return BlockCsvHeader();
    case ExportFormat::Measurements:
        return MeasureCsvHeader();
    case ExportFormat::Recording:
        return RecordingPreamble();
    case ExportFormat::DataFile:
        break;
    }
    return {};
}

} // namespace

std::optional<ExportFormat> ExportFormatOf(const std::string& path) {
    const std::string name = Lower(path);
    if (EndsWith(name, ".csv"))
        return ExportFormat::Samples;
    if (EndsWith(name, ".drgn"))
        return ExportFormat::Recording;
    if (EndsWith(name, ".drg"))
        return ExportFormat::DataFile;
    return std::nullopt;
}

std::unique_ptr<BlockExport> BlockExport::Create(const std::string& path, ExportFormat format, int& error) {
    FileHandle file;
    if (format != ExportFormat::DataFile) {
        OpenedFile opened = CreateRegularForWriting(path);
        if (!opened.file.IsOpen()) {
            error = opened.notRegular ? ENXIO : opened.error;
            return nullptr;
        }
        file = std::move(opened.file);
    }
    const int fd = file.Get();
    std::unique_ptr<BlockExport> out(new BlockExport(std::move(file), fd, format, path));
    if (!out->Write(Preamble(format))) {
        error = out->error_;
        return nullptr;
    }
    return out;
}

std::unique_ptr<BlockExport> BlockExport::OnDescriptor(int fd, ExportFormat format, int& error) {
    if (format != ExportFormat::Samples && format != ExportFormat::Measurements) {
        error = EINVAL;
        return nullptr;
    }
    std::unique_ptr<BlockExport> out(new BlockExport(FileHandle(), fd, format, {}));
    if (!out->Write(Preamble(format))) {
        error = out->error_;
        return nullptr;
    }
    return out;
}

bool BlockExport::Append(std::uint64_t number, const CapturedBlock& block) {
    if (error_ != 0 || notOneBlock_)
        return false;
    text_.clear();
    switch (format_) {
    case ExportFormat::Samples:
        AppendBlockCsv(text_, number, block);
        break;
    case ExportFormat::Measurements:
        AppendMeasureCsv(text_, number, block);
        break;
    case ExportFormat::Recording:
        AppendRecordedBlock(text_, blocks_ + 1, block);
        break;
    case ExportFormat::DataFile:
        if (single_) {
            notOneBlock_ = true;
            return false;
        }
        single_ = block;
        break;
    }
    if (!Write(text_))
        return false;
    ++blocks_;
    return true;
}

bool BlockExport::Finish() {
    if (format_ != ExportFormat::DataFile || error_ != 0 || notOneBlock_)
        return error_ == 0 && !notOneBlock_;
    if (!single_) {
        notOneBlock_ = true;
        return false;
    }
    SampleBuffer samples{};
    std::copy(single_->samples.begin(), single_->samples.end(), samples.begin());
    const std::string text = FormatDataFile(samples, single_->timebase);
    errno = 0;
    if (!WriteFileAtomically(path_, text)) {
        error_ = errno != 0 ? errno : EIO;
        return false;
    }
    bytes_ = text.size();
    return true;
}

// The whole text or, on failure, the file as it was before it: only whole blocks stay.
bool BlockExport::Write(const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
        if (n > 0) {
            done += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        error_ = n < 0 ? errno : EIO;
        // Back to the last whole block; should that fail too, the error told already says so.
        if (file_.IsOpen()) {
            [[maybe_unused]] const int cut = ::ftruncate(fd_, off_t(bytes_));
        }
        return false;
    }
    bytes_ += data.size();
    return true;
}
