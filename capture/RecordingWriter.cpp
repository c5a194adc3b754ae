#include "RecordingWriter.h"

#include "RecordingFormat.h"
#include "RegularFile.h"
#include "WriteWhole.h"

#include <cerrno>
#include <cstring>
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
    case ENOTDIR:
        return "część ścieżki nie jest folderem";
    case ENAMETOOLONG:
        return "za długa nazwa pliku";
    case EISDIR:
    case ENXIO:
        return "to nie jest zwykły plik";
    case EPIPE:
        return "odbiorca zamknął połączenie";
    case EIO:
        return "błąd wejścia-wyjścia urządzenia";
    case EMFILE:
    case ENFILE:
        return "za dużo otwartych plików";
    default: { // the system's own words, in the user's language where it has them
        char text[256];
        return strerror_r(error, text, sizeof text);
    }
    }
}

std::unique_ptr<RecordingWriter> RecordingWriter::Create(const std::string& path, std::string& error) {
    // A FIFO would hold the program until a reader came, a device is no file to keep.
    OpenedFile file = CreateRegularForWriting(path);
    if (!file.file.IsOpen()) {
        error = WriteErrorText(file.notRegular ? ENXIO : file.error);
        return nullptr;
    }
    std::unique_ptr<RecordingWriter> writer(new RecordingWriter(file.file.Release()));
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
    if (const int error = WriteWhole(fd_, data)) {
        error_ = WriteErrorText(error);
        // The part of a block that fitted is no block: the file ends after the last whole one.
        if (::ftruncate(fd_, off_t(bytes_)) != 0)
            error_ += "; ostatni blok pozostał niepełny";
        return false;
    }
    bytes_ += data.size();
    return true;
}
