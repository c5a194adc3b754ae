#include "BlockExport.h"

#include "AtomicFile.h"
#include "BlockCsv.h"
#include "DataFile.h"
#include "RecordingFormat.h"
#include "WriteWhole.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
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
    std::unique_ptr<BlockExport> out(new BlockExport(FileHandle(), -1, format, path));
    if (!out->OpenNow()) {
        error = out->error_;
        return nullptr;
    }
    return out;
}

std::unique_ptr<BlockExport> BlockExport::CreateAtFirstBlock(const std::string& path, ExportFormat format,
                                                             int& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        error = !S_ISREG(st.st_mode) ? ENXIO : ::access(path.c_str(), W_OK) != 0 ? errno : 0;
    } else {
        const auto slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "."
                                   : slash == 0               ? "/"
                                                              : path.substr(0, slash);
        error = errno != ENOENT ? errno : ::access(folder.c_str(), W_OK | X_OK) != 0 ? errno : 0;
    }
    if (error != 0)
        return nullptr;
    std::unique_ptr<BlockExport> out(new BlockExport(FileHandle(), -1, format, path));
    out->waitsForBlock_ = true;
    return out;
}

bool BlockExport::OpenNow() {
    waitsForBlock_ = false;
    if (format_ != ExportFormat::DataFile) { // a data file is written whole by Finish
        OpenedFile opened = CreateRegularForWriting(path_);
        if (!opened.file.IsOpen()) {
            error_ = opened.notRegular ? ENXIO : opened.error;
            return false;
        }
        file_ = std::move(opened.file);
        fd_ = file_.Get();
    }
    return Write(Preamble(format_));
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
    if (error_ != 0 || notOneBlock_ || (waitsForBlock_ && !OpenNow()))
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
    if (const int error = WriteWhole(fd_, data)) {
        error_ = error;
        // Back to the last whole block; should that fail too, the error told already says so.
        if (file_.IsOpen()) {
            [[maybe_unused]] const int cut = ::ftruncate(fd_, off_t(bytes_));
        }
        return false;
    }
    bytes_ += data.size();
    return true;
}
