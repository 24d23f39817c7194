// The Windows build's files as the loader sees them: wfal.dll exports its two entry points at
// their ordinals and imports only the system's DLLs, the C runtime and its engine, acq.dll.
#include <stdio.h>

#include <set>
#include <string>

#include <gtest/gtest.h>

namespace {

struct Tables {
    std::set<std::string> imports; // DLL names
    std::set<std::string> exports; // "ORDINAL NAME"
};

// Reads the import and export tables from `objdump -p`.
Tables read_tables(const std::string &file) {
    Tables t;
    std::string command = "x86_64-w64-mingw32-objdump -p '" + file + "'";
    FILE *out = popen(command.c_str(), "r");
    if (!out) return t;
    char line[512];
    bool names = false; // inside the table of names, each with its ordinal less the base
    int base = 0, index = 0;
    while (fgets(line, sizeof line, out)) {
        std::string s(line);
        char name[256];
        if (sscanf(line, " DLL Name: %255s", name) == 1) t.imports.insert(name);
        sscanf(line, "Ordinal Base %d", &base);
        if (s.rfind("[Ordinal/Name Pointer] Table", 0) == 0) names = true;
        if (s == "\n") names = false;
        if (names && sscanf(line, " [%d] %255s", &index, name) == 2)
            t.exports.insert(std::to_string(base + index) + " " + name);
    }
    pclose(out);
    return t;
}

struct Expected {
    const char *file;
    std::set<std::string> imports;
    std::set<std::string> exports; // empty: not checked
};

TEST(WindowsBuild, DllTablesHoldExactlyWhatTheInstrumentLoads) {
    const Expected cases[] = {
        {"wfal.dll",
         {"GDI32.dll", "KERNEL32.dll", "USER32.dll", "msvcrt.dll", "acq.dll"},
         {"1 wfalstart", "2 wfalver"}},
        {"acq.dll", {"KERNEL32.dll", "msvcrt.dll"}, {}},
    };
    for (const Expected &c : cases) {
        Tables t = read_tables(std::string(WFAL_WINDOWS_BIN) + "/" + c.file);
        EXPECT_EQ(t.imports, c.imports) << c.file;
        if (!c.exports.empty()) {
            EXPECT_EQ(t.exports, c.exports) << c.file;
        }
    }
}

} // namespace
