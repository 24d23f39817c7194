#include "drive.h"

#include <windows.h>

#include "text.h"

namespace {

// A folder's identity: its volume and its file index.
bool identity(const WideText &path, BY_HANDLE_FILE_INFORMATION *info) {
    HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (h == INVALID_HANDLE_VALUE) return false;
    BOOL got = GetFileInformationByHandle(h, info);
    CloseHandle(h);
    return got != FALSE;
}

bool same_folder(const WideText &a, const BY_HANDLE_FILE_INFORMATION &b) {
    BY_HANDLE_FILE_INFORMATION info;
    return identity(a, &info) && info.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           info.nFileIndexHigh == b.nFileIndexHigh && info.nFileIndexLow == b.nFileIndexLow;
}

WideText drive_root(WCHAR letter) {
    return WideText(1, letter) + L":\\";
}

} // namespace

bool drive_enter_device_root(const std::string &root, std::string *error) {
    BY_HANDLE_FILE_INFORMATION folder;
    WideText path = text_from_utf8(root);
    if (!identity(path, &folder)) {
        *error = "cannot open the device root " + root;
        return false;
    }
    // A drive that already leads there: mapped by an earlier run, by subst, or by the Wine
    // prefix's drive links.
    DWORD drives = GetLogicalDrives();
    for (WCHAR letter = L'D'; letter <= L'Z'; letter++) {
        if ((drives & (1u << (letter - L'A'))) && same_folder(drive_root(letter), folder))
            return SetCurrentDirectoryW(drive_root(letter).c_str()) != FALSE;
    }
    for (WCHAR letter = L'Y'; letter >= L'D'; letter--) {
        if (drives & (1u << (letter - L'A'))) continue;
        WideText device = WideText(1, letter) + L":";
        if (!DefineDosDeviceW(0, device.c_str(), path.c_str())) continue;
        if (same_folder(drive_root(letter), folder))
            return SetCurrentDirectoryW(drive_root(letter).c_str()) != FALSE;
        DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, device.c_str(),
                         path.c_str());
        break;
    }
    *error = "no drive leads to the device root " + root +
             " (DefineDosDeviceW made none that the file system follows; under Wine, link a "
             "drive of the prefix's dosdevices folder to it)";
    return false;
}
