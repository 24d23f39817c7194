// A fresh folder for one test, mapped as the instrument's root "\" and removed afterwards.
#pragma once

#include <stddef.h>

#include <string>

class TempDeviceRoot {
public:
    TempDeviceRoot();
    ~TempDeviceRoot();
    TempDeviceRoot(const TempDeviceRoot &) = delete;
    TempDeviceRoot &operator=(const TempDeviceRoot &) = delete;

    const std::string &dir() const { return dir_; }
    // Files are named relative to the root, with forward slashes.
    void write(const std::string &name, const std::string &bytes) const;
    std::string read(const std::string &name) const;
    bool exists(const std::string &name) const;

private:
    std::string dir_;
};
