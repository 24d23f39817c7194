// Files the tool writes: only the one -o names, never a file it reads; one that cannot be
// written completely is removed rather than left half-made.
#pragma once

#include <stdio.h>

#include <string>

class OutputFile {
public:
    // Throws ResError: RES_USAGE when `path` is the file `source` (whatever the name it is
    // reached by), RES_BAD_FILE when it cannot be created.
    OutputFile(const std::string &path, const std::string &source);
    ~OutputFile(); // removes the file unless commit() succeeded
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    void write(const void *bytes, size_t count);
    void commit(); // closes; throws when the bytes did not all reach the file

private:
    std::string path_;
    FILE *file_ = nullptr;
    bool failed_ = false;
};

// Throws ResError (RES_USAGE) when `path` names the same file as `source`.
void refuse_source_as_output(const std::string &path, const std::string &source);
