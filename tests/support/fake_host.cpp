#include "support/fake_host.h"

#include <winlayer.h>

#include "module/host_services.h"

FakeHost fake_host;

void fake_host_reset() {
    fake_host = FakeHost{};
}

void FakeHost::answer_path(const std::u16string &path, int volume) {
    const bool internal = path.rfind(u"\\Internal\\", 0) == 0 || path == u"\\Internal";
    paths.push_back(std::make_pair(path, volume ? volume : internal ? 1 : 2));
}

Lines FakeHost::lines(const std::string &prefix) const {
    Lines out;
    for (const std::string &line : log)
        if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
    return out;
}

namespace {

std::string quoted(const WCHAR *text) {
    std::string out = "\"";
    for (char c : wl_utf8_from_utf16(text, WL_TEXT_TERMINATED)) {
        const char *escaped = c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : nullptr;
        out += escaped ? escaped : c == '"' ? "\\\"" : std::string(1, c);
    }
    return out + "\"";
}
std::string quoted(INT_PTR text) {
    return quoted(reinterpret_cast<const WCHAR *>(text));
}

// Takes the oldest queued answer; `note` says when there was none.
template <class T>
void take(std::deque<T> &queue, T *answer, std::string *note) {
    if (queue.empty()) {
        *note = " (no answer queued)";
        return;
    }
    *answer = queue.front(), queue.pop_front();
}

// The module's buffer of `capacity` characters gets the text, cut to fit, and a terminator.
void put(INT_PTR buffer, INT_PTR capacity, const std::u16string &text) {
    WCHAR *out = reinterpret_cast<WCHAR *>(buffer);
    out[text.copy(out, std::min(text.size(), size_t(capacity)))] = 0;
}

INT_PTR prompt(FakeHost &h, int code, INT_PTR a, INT_PTR b, INT_PTR c, std::string *line) {
    std::string note;
    if (code == HOST_MESSAGE_BOX) {
        int button = (c & 0x0F) == 4 ? 7 : IDOK;
        take(h.boxes, &button, &note);
        *line = "message-box " + std::to_string(c) + " " + quoted(a) + " " + quoted(b) + " -> " +
                std::to_string(button) + note;
        return button;
    }
    if (code == HOST_EDIT_TEXT) {
        std::optional<std::u16string> text;
        take(h.texts, &text, &note);
        if (text) put(b, c, *text);
        *line = "edit-text " + quoted(a) + " -> " + (text ? quoted(b) : "cancel") + note;
        return text ? 1 : 0;
    }
    if (code == HOST_ENTER_NUMBER) {
        std::optional<int> n;
        take(h.numbers, &n, &note);
        *line = "enter-number " + quoted(a) + " " + quoted(b) + " " + std::to_string(int(c)) +
                " -> " + (n ? std::to_string(*n) : "cancel") + note;
        return n ? *n : int(c);
    }
    std::optional<std::pair<std::u16string, int>> path;
    take(h.paths, &path, &note);
    *line = "edit-path " + quoted(a) + " " + quoted(b) + " -> ";
    if (path) put(b, c, path->first);
    *line += (path ? quoted(b) + " " + std::to_string(path->second) : "cancel") + note;
    return path ? path->second : 0;
}

} // namespace

std::string fake_host_quote(const std::u16string &text) {
    return quoted(text.c_str());
}

INT_PTR CALLBACK fake_host_service(int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    FakeHost &h = fake_host;
    if (h.on_call) h.on_call(code);
    std::string line;
    INT_PTR result = 0;
    switch (code) {
    case HOST_SET_TITLE: line = "title " + quoted(a); break;
    case HOST_PRINT_SCREEN: line = "print-screen"; break;
    case HOST_HELP: line = "help " + std::to_string(c); break;
    case HOST_TEST_RUNNING: line = "test-running " + std::to_string(c); break;
    case HOST_STOP_REQUESTED:
        result = ++h.polls == h.stop_at_poll;
        if (result) line = "stop-requested -> 1";
        break;
    default: result = prompt(h, code, a, b, c, &line);
    }
    if (!line.empty()) h.log.push_back(line);
    return result;
}
