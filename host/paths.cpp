#include "paths.h"

#include "platform.h"

namespace {

std::string link_name(size_t index) {
    return index == 0 ? "PC" : "PC" + std::to_string(index + 1);
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
        if (!platform_place_link(root + "/" + link_name(i), folder)) continue;
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
        if (!platform_make_folder(dir.substr(0, slash), error)) return false;
    }
    return platform_make_folder(dir, error);
}

bool paths_prepare_root(const std::string &root, std::string *error) {
    return paths_make_folders(root, error) && platform_make_folder(root + "/Internal", error) &&
           platform_make_folder(root + "/USB", error);
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
    if (name.empty() || !platform_real_path(folder, &real_folder) ||
        !platform_real_path(root, &real_root)) {
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
