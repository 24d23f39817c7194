#include "paths.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool make_folder(const std::string &dir, std::string *error) {
    if (mkdir(dir.c_str(), 0777) == 0 || errno == EEXIST) {
        struct stat st;
        if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
    }
    *error = "cannot make the folder " + dir + ": " + strerror(errno ? errno : ENOTDIR);
    return false;
}

bool real_path(const std::string &path, std::string *out) {
    char buffer[PATH_MAX];
    if (!realpath(path.c_str(), buffer)) return false;
    *out = buffer;
    return true;
}

std::string link_name(size_t index) {
    return index == 0 ? "PC" : "PC" + std::to_string(index + 1);
}

// Points the link at `folder`; a link left by an earlier run is replaced, anything else that
// has the name is never touched.
bool place_link(const std::string &root, const std::string &name, const std::string &folder) {
    std::string at = root + "/" + name;
    struct stat st;
    if (lstat(at.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode) || unlink(at.c_str()) != 0) return false;
    }
    return symlink(folder.c_str(), at.c_str()) == 0;
}

// The link (made if needed) through which the instrument reaches `folder`, as "\NAME".
bool link_for(const std::string &root, const std::string &folder, PathLinks *links,
              std::string *out) {
    for (size_t i = 0; i < links->folders.size(); i++) {
        if (links->folders[i] != folder) continue;
        *out = "\\" + link_name(i);
        return true;
    }
    for (size_t i = links->folders.size(); i < links->folders.size() + 16; i++) {
        if (!place_link(root, link_name(i), folder)) continue;
        links->folders.resize(i + 1);
        links->folders[i] = folder;
        *out = "\\" + link_name(i);
        return true;
    }
    return false;
}

std::string backslashes(std::string s) {
    for (char &c : s) {
        if (c == '/') c = '\\';
    }
    return s;
}

} // namespace

bool paths_make_folders(const std::string &dir, std::string *error) {
    for (size_t slash = dir.find('/', 1); slash != std::string::npos;
         slash = dir.find('/', slash + 1)) {
        if (!make_folder(dir.substr(0, slash), error)) return false;
    }
    return make_folder(dir, error);
}

bool paths_prepare_root(const std::string &root, std::string *error) {
    return paths_make_folders(root, error) && make_folder(root + "/Internal", error) &&
           make_folder(root + "/USB", error);
}

bool paths_to_instrument(const std::string &path, const std::string &root, PathLinks *links,
                         std::string *out, std::string *error) {
    if (!path.empty() && path[0] == '\\') {
        *out = path;
        return true;
    }
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string real_folder, real_root;
    if (name.empty() || !real_path(folder, &real_folder) || !real_path(root, &real_root)) {
        *error = "no such folder for " + path;
        return false;
    }
    std::string prefix;
    if (real_folder == real_root) {
        prefix = "";
    } else if (real_folder.compare(0, real_root.size() + 1, real_root + "/") == 0) {
        prefix = backslashes(real_folder.substr(real_root.size()));
    } else if (!link_for(root, real_folder, links, &prefix)) {
        *error = "cannot link " + real_folder + " into the device root";
        return false;
    }
    *out = prefix + "\\" + name;
    return true;
}
