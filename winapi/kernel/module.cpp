// Modules and their resources. A module registers itself by file name when it is loaded, with
// the resources that its resource script lists; the handles given out are the addresses of
// the layer's own records, and are checked against the registry before use.
#include <limits.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "winbase.h"
#include "winlayer.h"
#include "kernel/utf.h"

namespace {

// A resource type or name: a 16-bit number or a text compared without regard to case.
struct ResourceId {
    bool is_number;
    WORD number;
    std::u16string text;
};

struct Resource {
    ResourceId type;
    ResourceId name;
    const void *data;
    DWORD size;
};

struct Module {
    std::u16string name; // file name without its folder
    const void *anchor;
    bool is_host;
    std::vector<std::unique_ptr<Resource>> resources;
};

// Never destroyed: a module's unload hook may unregister it after the layer's own static
// objects are gone, at the end of the process.
std::vector<std::unique_ptr<Module>> &g_modules = *new std::vector<std::unique_ptr<Module>>;

bool is_digit(WCHAR c) {
    return c >= u'0' && c <= u'9';
}

// "#123" stands for the number 123, as in Windows.
ResourceId id_from(LPCWSTR id) {
    if (IS_INTRESOURCE(id)) return {true, WORD(reinterpret_cast<ULONG_PTR>(id)), {}};
    std::u16string text(id);
    if (text.size() >= 2 && text.size() <= 6 && text[0] == u'#') {
        unsigned long value = 0;
        size_t i = 1;
        while (i < text.size() && is_digit(text[i]))
            value = value * 10 + (text[i++] - u'0');
        if (i == text.size() && value <= 0xFFFF) return {true, WORD(value), {}};
    }
    return {false, 0, text};
}

bool id_equal(const ResourceId &a, const ResourceId &b) {
    if (a.is_number || b.is_number) return a.is_number == b.is_number && a.number == b.number;
    return utf_equal_nocase(a.text.data(), a.text.size(), b.text.data(), b.text.size());
}

std::u16string file_part(LPCWSTR name) {
    std::u16string s(name);
    size_t cut = s.find_last_of(u"\\/");
    return cut == s.npos ? s : s.substr(cut + 1);
}

// A name asked for without an extension means a ".dll"; a trailing "." means no extension.
std::u16string name_wanted(LPCWSTR name) {
    std::u16string s = file_part(name);
    if (!s.empty() && s.back() == u'.')
        s.pop_back();
    else if (s.find(u'.') == s.npos)
        s += u".dll";
    return s;
}

Module *module_named(const std::u16string &name) {
    for (auto &m : g_modules) {
        if (utf_equal_nocase(m->name.data(), m->name.size(), name.data(), name.size()))
            return m.get();
    }
    return nullptr;
}

Module *module_from_handle(HMODULE handle) {
    for (auto &m : g_modules) {
        if (reinterpret_cast<HMODULE>(m.get()) == handle) return m.get();
    }
    return nullptr;
}

Module *module_add(std::u16string name, const void *anchor, bool is_host) {
    g_modules.push_back(std::make_unique<Module>(Module{std::move(name), anchor, is_host, {}}));
    return g_modules.back().get();
}

// The program that loaded everything, registered under its file name when first asked for.
Module *host_module() {
    for (auto &m : g_modules) {
        if (m->is_host) return m.get();
    }
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    path[n > 0 ? n : 0] = 0;
    std::u16string name = utf_from_utf8(path);
    size_t cut = name.find_last_of(u'/');
    return module_add(cut == name.npos ? name : name.substr(cut + 1), nullptr, true);
}

Resource *resource_in(Module *m, const void *handle) {
    for (auto &r : m->resources) {
        if (r.get() == handle) return r.get();
    }
    return nullptr;
}

// A null module means the program's own, as in Windows; a resource is only found in the
// module it was given out for.
Resource *resource_from_handle(HMODULE module, const void *handle) {
    Module *m = module == nullptr ? host_module() : module_from_handle(module);
    return m != nullptr ? resource_in(m, handle) : nullptr;
}

} // namespace

HMODULE wl_module_register(LPCWSTR name, const void *anchor) {
    if (name == nullptr || file_part(name).empty()) return nullptr;
    Module *m = module_named(file_part(name));
    if (m == nullptr) m = module_add(file_part(name), anchor, false);
    m->anchor = anchor;
    return reinterpret_cast<HMODULE>(m);
}

void wl_module_unregister(LPCWSTR name) {
    if (name == nullptr) return;
    Module *m = module_named(file_part(name));
    for (auto it = g_modules.begin(); it != g_modules.end(); ++it) {
        if (it->get() == m) {
            g_modules.erase(it);
            return;
        }
    }
}

BOOL wl_resource_register(HMODULE module, LPCWSTR type, LPCWSTR name, const void *data,
                          DWORD size) {
    Module *m = module_from_handle(module);
    if (m == nullptr || type == nullptr || name == nullptr || data == nullptr) return FALSE;
    ResourceId t = id_from(type);
    ResourceId n = id_from(name);
    for (auto &r : m->resources) {
        if (id_equal(r->type, t) && id_equal(r->name, n)) {
            r->data = data;
            r->size = size;
            return TRUE;
        }
    }
    m->resources.push_back(std::make_unique<Resource>(Resource{t, n, data, size}));
    return TRUE;
}

HMODULE GetModuleHandleW(LPCWSTR name) {
    if (name == nullptr) return reinterpret_cast<HMODULE>(host_module());
    return reinterpret_cast<HMODULE>(module_named(name_wanted(name)));
}

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    Module *m = module == nullptr ? host_module() : module_from_handle(module);
    if (m == nullptr || name == nullptr || type == nullptr) return nullptr;
    ResourceId t = id_from(type);
    ResourceId n = id_from(name);
    for (auto &r : m->resources) {
        if (id_equal(r->type, t) && id_equal(r->name, n)) return reinterpret_cast<HRSRC>(r.get());
    }
    return nullptr;
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    return resource_from_handle(module, resource);
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    Resource *r = resource_from_handle(module, resource);
    return r != nullptr ? r->size : 0;
}

LPVOID LockResource(HGLOBAL loaded) {
    for (auto &m : g_modules) {
        if (Resource *r = resource_in(m.get(), loaded)) return const_cast<void *>(r->data);
    }
    return nullptr;
}

// The layer runs the module on one thread and never makes the thread calls, so there is nothing
// to switch off; the handle is still checked, as Windows checks it.
BOOL DisableThreadLibraryCalls(HMODULE module) {
    return module_from_handle(module) != nullptr ? TRUE : FALSE;
}
