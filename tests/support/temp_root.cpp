#include "support/temp_root.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <winlayer.h>

TempDeviceRoot::TempDeviceRoot() {
    const char *base = getenv("WFAL_TEST_TMP");
    std::filesystem::path parent =
        base && *base ? std::filesystem::path(base) : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(parent);
    std::string pattern = (parent / "rootXXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) throw std::runtime_error("cannot make a temporary folder");
    dir_ = name.data();
    wl_fs_set_root(dir_.c_str());
}

TempDeviceRoot::~TempDeviceRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void TempDeviceRoot::write(const std::string &name, const std::string &bytes) const {
    std::ofstream out(dir_ + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), (std::streamsize)bytes.size());
    if (!out) throw std::runtime_error("cannot write " + name);
}

std::string TempDeviceRoot::read(const std::string &name) const {
    std::ifstream in(dir_ + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool TempDeviceRoot::exists(const std::string &name) const {
    return std::filesystem::exists(dir_ + "/" + name);
}
