// The instrument's paths ("\USB\x.res") on Windows: the device root reached as the root of a
// drive that is made the current one.
#pragma once

#include <string>

// Finds a drive whose root is the device root folder, or maps a free one to it with
// DefineDosDeviceW, and makes it current. False with `error` saying why not.
bool drive_enter_device_root(const std::string &root, std::string *error);
