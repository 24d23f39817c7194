#include "result_reader.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

#include "module/calendar.h"
#include "progress.h"

namespace {

// Names the first field that keeps the module from showing the header.
std::string refusal(const ResultHeader &h) {
    if (memcmp(h.magic, RESULT_MAGIC, sizeof h.magic) != 0)
        return "not a result file (no WFAL mark at byte 56)";
    if (h.header_size != RESULT_HEADER_SIZE)
        return "header size field is " + std::to_string(h.header_size) + ", not 1320";
    return "points field is " + std::to_string(h.points) + ", outside 1.." +
           std::to_string(RESULT_MAX_POINTS);
}

} // namespace

void res_fail(int status, const std::string &path, const std::string &what) {
    throw ResError(status, path + ": " + what);
}

ResultFile::ResultFile(const std::string &path) : path_(path) {
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) res_fail(RES_BAD_FILE, path, std::string("cannot open: ") + strerror(errno));
    struct stat st;
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd_);
        res_fail(RES_BAD_FILE, path, "not a regular file");
    }
    size_ = st.st_size;
    const auto refuse = [&](const std::string &what) {
        close(fd_);
        res_fail(RES_BAD_FILE, path, what);
    };
    if (size_ < RESULT_HEADER_SIZE)
        refuse("too short for a result header (" + std::to_string(size_) + " of 1320 bytes)");
    if (pread(fd_, &header_, sizeof header_, 0) != ssize_t(sizeof header_))
        refuse(std::string("cannot read the header: ") + strerror(errno));
    if (!header_accepted(header_)) refuse(refusal(header_));
    if (size_ > RESULT_MAX_FILE_SIZE)
        refuse("larger than a result file can be (" + std::to_string(size_) + " bytes)");
    records_ = result_record_count(size_, header_);
    const ResultHeader &h = header_;
    start_seconds_ = calendar_set(h.start_year, h.start_month, h.start_day, h.start_hour,
                                  h.start_minute, h.start_second);
}

ResultFile::~ResultFile() {
    close(fd_);
}

void ResultFile::read_bytes(long long offset, void *out, size_t bytes) const {
    char *to = static_cast<char *>(out);
    while (bytes > 0) {
        const ssize_t got = pread(fd_, to, bytes, off_t(offset));
        if (got <= 0)
            res_fail(RES_BAD_FILE, path_,
                     got == 0 ? "ended while it was read"
                              : std::string("read failed: ") + strerror(errno));
        to += got, offset += got, bytes -= size_t(got);
    }
}

void ResultFile::read(long long first, long long count, INT16 *levels) const {
    read_bytes(RESULT_HEADER_SIZE + first * record_bytes(), levels, size_t(count * record_bytes()));
}

RecordBlocks::RecordBlocks(const ResultFile &file, long long first, long long last,
                           const char *label, bool keep_last)
    : file_(file), next_(first), last_(last), total_(last - first + 1),
      block_records_(int(RES_BLOCK_BYTES / size_t(file.record_bytes()))), keep_last_(keep_last),
      front_(size_t(block_records_ + 1) * size_t(file.points())), back_(front_.size()),
      progress_(progress_start(label)) {
    read_ahead();
}

RecordBlocks::~RecordBlocks() {
    if (pending_.valid()) pending_.wait();
    progress_end(progress_);
}

// Reads the records after next_ into back_, behind the record kept from the block before.
void RecordBlocks::read_ahead() {
    const int fresh = int(std::min<long long>(block_records_, last_ - next_ + 1));
    if (fresh <= 0) return;
    const int held = keep_last_ && block_count_ > 0 ? 1 : 0;
    INT16 *to = back_.data() + size_t(held) * size_t(file_.points());
    const long long from = next_;
    pending_ = std::async(std::launch::async, [this, from, fresh, to] {
        file_.read(from, fresh, to);
        return fresh;
    });
}

bool RecordBlocks::next() {
    if (next_ > last_) return false;
    const size_t points = size_t(file_.points());
    const int held = keep_last_ && block_count_ > 0 ? 1 : 0;
    if (held) std::copy_n(front_.data() + size_t(block_count_ - 1) * points, points, back_.data());
    const int fresh = pending_.get(); // a failed read throws here
    std::swap(front_, back_);
    block_first_ = next_ - held;
    block_count_ = held + fresh;
    next_ += fresh;
    read_ahead();
    progress_show(progress_, double(next_ - (last_ + 1 - total_)) / double(total_));
    return true;
}
