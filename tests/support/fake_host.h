// One fake of the host's service callback for the module's tests: every call becomes a line in
// the host's own log format ("title ...", "message-box ...", "edit-text ...", ...), and the
// prompts take their answers from per-kind queues, oldest first, or the host's default (OK, No,
// cancel) when none is queued, which the line then notes as the host does.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

using Lines = std::vector<std::string>;

struct FakeHost {
    Lines log;
    std::deque<int> boxes;                           // message box buttons
    std::deque<std::optional<std::u16string>> texts; // notes; none: cancel
    std::deque<std::optional<int>> numbers;          // none: cancel
    // A path and the volume answered for it (by default the host's: 1 "\Internal", 2 else);
    // none: cancel.
    std::deque<std::optional<std::pair<std::u16string, int>>> paths;
    int stop_at_poll = 0; // answers "stop" to this stop request (1 the first); 0 never
    int polls = 0;
    std::function<void(int code)> on_call; // runs first in every call, if set

    void answer_box(int button) { boxes.push_back(button); }
    void answer_text(std::optional<std::u16string> text) { texts.push_back(std::move(text)); }
    void answer_number(std::optional<int> n) { numbers.push_back(n); }
    void answer_path(const std::u16string &path, int volume = 0);
    void cancel_path() { paths.push_back(std::nullopt); }
    // The lines that start with `prefix`.
    Lines lines(const std::string &prefix) const;
};

// The one fake, reset by fake_host_reset().
extern FakeHost fake_host;
void fake_host_reset();
// A text quoted as the log quotes it.
std::string fake_host_quote(const std::u16string &text);
INT_PTR CALLBACK fake_host_service(int code, INT_PTR a, INT_PTR b, INT_PTR c);
