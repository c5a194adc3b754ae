#include "RecordingWriter.h"

#include "RecordingFormat.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

std::string WriteErrorText(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return "brak miejsca na dysku";
    case EFBIG:
        return "przekroczony dopuszczalny rozmiar pliku";
    case EACCES:
    case EPERM:
    case EROFS:
        return "brak uprawnień do zapisu";
    case ENOENT:
        return "nie ma takiego folderu";
    default:
        return "błąd zapisu (kod " + std::to_string(error) + ")";
    }
}

std::unique_ptr<RecordingWriter> RecordingWriter::Create(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = WriteErrorText(errno);
        return nullptr;
    }
    std::unique_ptr<RecordingWriter> writer(new RecordingWriter(fd));
    if (!writer->WriteAll(RecordingPreamble())) {
        error = writer->error_;
        return nullptr;
    }
    return writer;
}

RecordingWriter::~RecordingWriter() {
    ::close(fd_);
}

bool RecordingWriter::Append(const CapturedBlock& block) {
    if (Failed())
        return false;
    line_.clear();
    AppendRecordedBlock(line_, blocks_ + 1, block);
    if (!WriteAll(line_))
        return false;
    ++blocks_;
    return true;
}

bool RecordingWriter::WriteAll(const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
        if (n > 0) {
            done += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        error_ = WriteErrorText(n < 0 ? errno : ENOSPC);
        // The part of a block that fitted is no block: the file ends after the last whole one.
        if (::ftruncate(fd_, off_t(bytes_)) != 0)
            error_ += "; ostatni blok pozostał niepełny";
        return false;
    }
    bytes_ += data.size();
    return true;
}
