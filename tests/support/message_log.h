// Window-manager tests in the manner of message-sequence tables: windows of a recording class
// (and dialogs with a recording dialog procedure) write each message they get as one line,
// "name WM_SIZE 100x50", and a test compares the lines with the table its scenario must give.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

using Lines = std::vector<std::string>;

// What a window does with a message after it is logged: return true with a result to answer it,
// false to leave it to the default procedure.
using MessageHandler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT *)>;

class MessageLog {
public:
    // Registers the recording class RECORD_CLASS (two LONG_PTR words) as the current log's.
    MessageLog();
    // Tears the window manager and GDI down.
    ~MessageLog();
    MessageLog(const MessageLog &) = delete;
    MessageLog &operator=(const MessageLog &) = delete;

    // A window of the recording class, named for the log.
    HWND create(const std::string &name, DWORD style, int x, int y, int w, int h,
                HWND parent = nullptr, int id = 0, DWORD ex_style = 0);
    // The name of the next dialog whose dialog procedure gets a message.
    void name_next_dialog(const std::string &name) { pending_dialog_ = name; }
    // The window's own handling of messages (by window name).
    void handle(const std::string &name, MessageHandler handler) { handlers_[name] = handler; }
    // Messages left out of the log.
    void ignore(std::set<UINT> messages) { ignored_ = std::move(messages); }

    // The lines logged since the last take, and a fresh start.
    Lines take() { return std::exchange(lines_, Lines{}); }
    void clear() { lines_.clear(); }

    // The procedures of the recording class and of recording dialogs.
    static LRESULT CALLBACK window_proc(HWND, UINT, WPARAM, LPARAM);
    static INT_PTR CALLBACK dialog_proc(HWND, UINT, WPARAM, LPARAM);

private:
    bool record(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT *result,
                std::string *pending);
    std::string describe(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) const;
    // The window's name; an unnamed child is "#" and its id.
    std::string name_of(HWND hwnd) const;

    std::map<HWND, std::string> names_;
    std::map<std::string, MessageHandler> handlers_;
    std::set<UINT> ignored_;
    Lines lines_;
    std::string pending_name_;   // the name of the window being created
    std::string pending_dialog_; // the name of the next dialog
};

extern const WCHAR RECORD_CLASS[];

// Runs the queue until nothing is left to retrieve (PeekMessageW, no idle, no waiting).
void pump_pending();
