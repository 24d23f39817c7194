// A result file opened for reading on the PC: its header checked by the module's rules, its
// whole records counted, and records read in blocks, never the whole file at once.
#pragma once

#include <future>
#include <stdexcept>
#include <string>
#include <vector>

#include <windows.h>
#include <winlayer.h>

#include "resultfile/result_header.h"

// Exit statuses of every command.
constexpr int RES_OK = 0;
constexpr int RES_USAGE = 1;     // an option or time the recording cannot serve
constexpr int RES_BAD_FILE = 2;  // a file that is no usable result file, or cannot be read
constexpr int RES_ATTENTION = 1; // check: readable, but a torn record or a broken seal

// What ends a command: its exit status and the one line that says why.
class ResError : public std::runtime_error {
public:
    ResError(int status, const std::string &line) : std::runtime_error(line), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

// A text field of the header as UTF-8, up to its terminator or the field's end.
template <size_t N>
std::string header_field(const WCHAR (&text)[N]) {
    size_t n = 0;
    while (n < N && text[n] != 0)
        ++n;
    return wl_utf8_from_utf16(text, n);
}

[[noreturn]] void res_fail(int status, const std::string &path, const std::string &what);

class ResultFile {
public:
    // Throws ResError (RES_BAD_FILE) naming the path and what is wrong.
    explicit ResultFile(const std::string &path);
    ~ResultFile();
    ResultFile(const ResultFile &) = delete;
    ResultFile &operator=(const ResultFile &) = delete;

    const std::string &path() const { return path_; }
    const ResultHeader &header() const { return header_; }
    int points() const { return header_.points; }
    long long record_bytes() const { return 2LL * header_.points; }
    long long file_size() const { return size_; }
    long long records() const { return records_; }
    // Bytes of a record cut short at the end of the file (0 when the records are whole).
    long long torn_bytes() const { return size_ - RESULT_HEADER_SIZE - records_ * record_bytes(); }
    // Calendar seconds of record 0; record i was taken i seconds later.
    DWORD start_seconds() const { return start_seconds_; }

    // Reads records first .. first + count - 1 (all whole records of the file) into `levels`.
    void read(long long first, long long count, INT16 *levels) const;
    // Reads `bytes` bytes at `offset`; throws on a short read.
    void read_bytes(long long offset, void *out, size_t bytes) const;

private:
    std::string path_;
    int fd_ = -1;
    ResultHeader header_;
    long long size_ = 0;
    long long records_ = 0;
    DWORD start_seconds_ = 0;
};

// Records first..last of a file, a block of about a MiB at a time, with progress on standard
// error while it takes long. With `keep_last` every block after the first opens with the last
// record of the block before, so that pairs of consecutive records are never split. The block
// after the one handed out is read meanwhile on a second thread.
constexpr size_t RES_BLOCK_BYTES = 1 << 20; // records of at most this many bytes per block

class RecordBlocks {
public:
    RecordBlocks(const ResultFile &file, long long first, long long last, const char *label,
                 bool keep_last = false);
    ~RecordBlocks();
    // Reads the next block; false after the last.
    bool next();
    const INT16 *levels() const { return front_.data(); }
    long long first() const { return block_first_; } // index of the block's first record
    int count() const { return block_count_; }

private:
    const ResultFile &file_;
    long long next_, last_, total_;
    long long block_first_ = 0;
    int block_count_ = 0;
    int block_records_;
    bool keep_last_;
    std::vector<INT16> front_, back_; // the block handed out, the one being read
    std::future<int> pending_;        // the records read into back_
    struct Progress *progress_;

    void read_ahead();
};
