#pragma once
// Writes blocks to a file as they come, one write per block straight to it, so a
// recording of any length streams through and an interrupted export leaves only
// whole blocks: a table of samples (.csv), a table of measurements, a recording
// (.drgn, as the program records) or a data file (.drg, which holds one block).
// A failed write cuts the file back to its last whole block; errors are errno
// values, worded by the caller in its own language.

#include "CapturedBlock.h"
#include "RegularFile.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

enum class ExportFormat { Samples, Measurements, Recording, DataFile };

// By the name's extension: .csv, .drgn, .drg; nullopt for any other.
std::optional<ExportFormat> ExportFormatOf(const std::string& path);

class BlockExport {
  public:
    // A regular file created or emptied (a data file is written whole by Finish); null with
    // error set when it cannot be (ENXIO: not a regular file).
    static std::unique_ptr<BlockExport> Create(const std::string& path, ExportFormat format, int& error);
    // The same, but the file is created or emptied only when the first block comes: a run that
    // gets none (no device, no trigger) leaves an existing file as it was. Whether it could be
    // written is checked now, without touching it.
    static std::unique_ptr<BlockExport> CreateAtFirstBlock(const std::string& path, ExportFormat format,
                                                           int& error);
    // An open descriptor the caller keeps (standard output): Samples or Measurements only.
    static std::unique_ptr<BlockExport> OnDescriptor(int fd, ExportFormat format, int& error);
    BlockExport(const BlockExport&) = delete;
    BlockExport& operator=(const BlockExport&) = delete;

    // False once a write has failed; nothing more is written then.
    bool Append(std::uint64_t number, const CapturedBlock& block);
    // Writes what waits (the data file) and says whether everything was written.
    bool Finish();

    int Error() const { return error_; }
    // A data file was given no block, or more than one.
    bool NotOneBlock() const { return notOneBlock_; }
    std::uint64_t Blocks() const { return blocks_; }
    std::uint64_t Bytes() const { return bytes_; }

  private:
    BlockExport(FileHandle file, int fd, ExportFormat format, std::string path)
        : file_(std::move(file)), fd_(fd), format_(format), path_(std::move(path)) {}
    bool Write(const std::string& data);
    bool OpenNow(); // creates the file of an export made at the first block

    FileHandle file_; // closed with the export unless it is the caller's
    int fd_;
    ExportFormat format_;
    std::string path_;
    std::string text_; // reused: no allocation per block
    std::optional<CapturedBlock> single_;
    std::uint64_t blocks_ = 0;
    std::uint64_t bytes_ = 0;
    int error_ = 0;
    bool notOneBlock_ = false;
    bool waitsForBlock_ = false; // the file is not created yet
};
