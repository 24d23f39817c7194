// The instrument's file system on the PC: the device root with its two volumes, and PC paths made
// reachable as instrument paths.
#pragma once

#include <string>
#include <vector>

// Makes a folder with its parents where missing.
bool paths_make_folders(const std::string &dir, std::string *error);
// Makes the device root (with its parents) and its volumes "Internal" and "USB" where missing.
bool paths_prepare_root(const std::string &root, std::string *error);

// PC folders outside the device root are reached through links in the root: "\PC" for the first
// folder, "\PC2", "\PC3" ... for further ones.
struct PathLinks {
    std::vector<std::string> folders; // the real folder of link i
};

// An instrument path for `path`: as given when it begins with a backslash; else the PC path's
// folder (which must exist) inside the device root, or through a link of `links`.
bool paths_to_instrument(const std::string &path, const std::string &root, PathLinks *links,
                         std::string *out, std::string *error);
