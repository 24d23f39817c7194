#include "output_file.h"

#include <errno.h>
#include <string.h>
#include <sys/stat.h>

#include "result_reader.h"

void refuse_source_as_output(const std::string &path, const std::string &source) {
    struct stat out, in;
    if (stat(path.c_str(), &out) == 0 && stat(source.c_str(), &in) == 0 &&
        out.st_dev == in.st_dev && out.st_ino == in.st_ino)
        res_fail(RES_USAGE, path, "is the file being read; the tool never writes into it");
}

OutputFile::OutputFile(const std::string &path, const std::string &source) : path_(path) {
    refuse_source_as_output(path, source);
    file_ = fopen(path.c_str(), "wb");
    if (file_ == nullptr)
        res_fail(RES_BAD_FILE, path, std::string("cannot create: ") + strerror(errno));
}

OutputFile::~OutputFile() {
    if (file_ != nullptr) fclose(file_);
    if (failed_ || file_ != nullptr) remove(path_.c_str());
}

void OutputFile::write(const void *bytes, size_t count) {
    if (fwrite(bytes, 1, count, file_) != count) {
        failed_ = true;
        res_fail(RES_BAD_FILE, path_, std::string("write failed: ") + strerror(errno));
    }
}

void OutputFile::commit() {
    const int closed = fclose(file_);
    file_ = nullptr;
    if (closed != 0) {
        failed_ = true;
        res_fail(RES_BAD_FILE, path_, std::string("write failed: ") + strerror(errno));
    }
}
