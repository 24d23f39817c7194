// Small holders that give drawing objects the life of a scope: whatever a paint selects is put
// back, and whatever it makes is deleted, on every path out.
#pragma once

#include <windows.h>

// Selects an object into a DC and selects the previous one back at scope end. With `owned`
// the object is also deleted then (after it is no longer selected).
class GdiSelection {
public:
    GdiSelection(HDC dc, HGDIOBJ object, bool owned)
        : dc_(dc), object_(object), owned_(owned),
          previous_(object ? SelectObject(dc, object) : NULL) {}
    ~GdiSelection() {
        if (previous_) SelectObject(dc_, previous_);
        if (owned_ && object_) DeleteObject(object_);
    }
    GdiSelection(const GdiSelection &) = delete;
    GdiSelection &operator=(const GdiSelection &) = delete;

private:
    HDC dc_;
    HGDIOBJ object_;
    bool owned_;
    HGDIOBJ previous_;
};

// An object made for one item, deleted at scope end.
template <typename Handle>
class GdiOwned {
public:
    explicit GdiOwned(Handle handle) : handle_(handle) {}
    ~GdiOwned() {
        if (handle_) DeleteObject(handle_);
    }
    GdiOwned(const GdiOwned &) = delete;
    GdiOwned &operator=(const GdiOwned &) = delete;
    Handle get() const { return handle_; }

private:
    Handle handle_;
};

// A memory DC compatible with `dc`, deleted at scope end.
class MemoryDc {
public:
    explicit MemoryDc(HDC dc) : dc_(CreateCompatibleDC(dc)) {}
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc &) = delete;
    MemoryDc &operator=(const MemoryDc &) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};
