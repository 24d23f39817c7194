// The "edit" class as read-only text boxes use it: multi-line, word-wrapped to the client width,
// scrolled by whole lines with WM_VSCROLL and its window scroll bar (range: the lines, page: the
// lines that fit), on the brush and colours that its parent's WM_CTLCOLORSTATIC gives. Typing
// into it is not supported.
#include "user/edit.h"

#include <algorithm>

#include "user/user_internal.h"

namespace {

const WCHAR EDIT_CLASS[] = u"Edit";
// Space between the client area's sides and the text.
constexpr int EDIT_MARGIN = 2;

struct EditState : ControlState {
    HFONT font = nullptr; // WM_SETFONT; null: the system font
    std::vector<EditLine> lines;
    int top = 0;          // the first line shown
    int line_height = 16; // the font's height
};

// ---- Layout ------------------------------------------------------------------------------------

size_t skip_spaces(const std::u16string &text, size_t i, size_t end) {
    while (i < end && text[i] == u' ')
        ++i;
    return i;
}

// The most characters from `from` (at least one) whose width fits.
size_t fitting_chars(const std::u16string &text, size_t from, size_t end, int width,
                     const EditMeasure &measure) {
    size_t low = 1, high = end - from;
    while (low < high) {
        size_t mid = (low + high + 1) / 2;
        if (measure(text.data() + from, int(mid)) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}

// The end of the next line of the paragraph [from, end): after the spaces that follow the last
// word that fits.
size_t line_end(const std::u16string &text, size_t from, size_t end, int width,
                const EditMeasure &measure) {
    size_t fits = from;
    for (size_t i = from; i < end;) {
        size_t word_end = i;
        while (word_end < end && text[word_end] != u' ')
            ++word_end;
        if (measure(text.data() + from, int(word_end - from)) > width) break;
        fits = i = skip_spaces(text, word_end, end);
    }
    if (fits > from) return fits;
    return from + fitting_chars(text, from, end, width, measure);
}

void wrap_paragraph(const std::u16string &text, size_t from, size_t end, int width,
                    const EditMeasure &measure, std::vector<EditLine> *lines) {
    if (from == end) lines->push_back(EditLine{from, 0});
    while (from < end) {
        size_t next = line_end(text, from, end, width, measure);
        lines->push_back(EditLine{from, next - from});
        from = next;
    }
}

// ---- The control -------------------------------------------------------------------------------

EditState *state_of(HWND hwnd) {
    Window *w = window_from_handle(hwnd);
    return w ? static_cast<EditState *>(w->control.get()) : nullptr;
}

HGDIOBJ font_of(const EditState &s) {
    return s.font ? s.font : GetStockObject(SYSTEM_FONT);
}

int visible_lines(HWND hwnd, const EditState &s) {
    RECT r;
    GetClientRect(hwnd, &r);
    return std::max(1, int(r.bottom) / s.line_height);
}

int last_top(HWND hwnd, const EditState &s) {
    return std::max(0, int(s.lines.size()) - visible_lines(hwnd, s));
}

void update_scroll_bar(HWND hwnd, const EditState &s) {
    if (!(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VSCROLL)) return;
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
    si.nMax = int(s.lines.size()) - 1;
    si.nPage = UINT(visible_lines(hwnd, s));
    si.nPos = s.top;
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
}

// Wraps the text again for the font and the client width, and keeps the first line in range.
void relayout(HWND hwnd, EditState *s) {
    Window *w = window_from_handle(hwnd);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font_of(*s));
    TEXTMETRICW tm;
    if (GetTextMetricsW(dc, &tm) && tm.tmHeight > 0) s->line_height = int(tm.tmHeight);
    RECT r;
    GetClientRect(hwnd, &r);
    EditMeasure measure = [dc](const WCHAR *text, int count) {
        SIZE size{0, 0};
        GetTextExtentPoint32W(dc, text, count, &size);
        return int(size.cx);
    };
    s->lines = edit_wrap(w->text, int(r.right) - 2 * EDIT_MARGIN, measure);
    SelectObject(dc, old);
    DeleteDC(dc);
    s->top = std::min(s->top, last_top(hwnd, *s));
    update_scroll_bar(hwnd, *s);
}

// Read-only (and disabled) edit controls ask their parent with WM_CTLCOLORSTATIC; a parent that
// gives no brush leaves the choice to the default procedure.
HBRUSH control_brush(HWND hwnd, HDC dc) {
    LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    UINT message = (style & (ES_READONLY | WS_DISABLED)) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    HWND parent = GetParent(hwnd);
    HBRUSH brush = nullptr;
    if (parent) brush = HBRUSH(SendMessageW(parent, message, WPARAM(dc), LPARAM(hwnd)));
    if (!brush)
        brush = HBRUSH(DefWindowProcW(parent ? parent : hwnd, message, WPARAM(dc), LPARAM(hwnd)));
    return brush;
}

LRESULT on_erase(HWND hwnd, HDC dc) {
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, control_brush(hwnd, dc));
    return 1;
}

// The lines in view, each drawn at the left margin in the colours the parent set; the line
// below the last whole one shows as far as it fits.
LRESULT on_paint(HWND hwnd) {
    EditState *s = state_of(hwnd);
    Window *w = window_from_handle(hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return 0;
    HGDIOBJ old = SelectObject(dc, font_of(*s));
    control_brush(hwnd, dc);
    size_t last = std::min(s->lines.size(), size_t(s->top + visible_lines(hwnd, *s) + 1));
    for (size_t i = size_t(s->top); i < last; ++i) {
        int y = int(i - size_t(s->top)) * s->line_height;
        if (y >= ps.rcPaint.bottom || y + s->line_height <= ps.rcPaint.top) continue;
        const EditLine &line = s->lines[i];
        ExtTextOutW(dc, EDIT_MARGIN, y, 0, nullptr, w->text.data() + line.start, UINT(line.length),
                    nullptr);
    }
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
    return 0;
}

// Scrolls by lines: a line, a page of the lines in view, the thumb's position, the top or the
// bottom, held so that the last page is full.
LRESULT on_vscroll(HWND hwnd, WPARAM wparam) {
    EditState *s = state_of(hwnd);
    int page = visible_lines(hwnd, *s), top = s->top;
    switch (LOWORD(wparam)) {
    case SB_LINEUP: top -= 1; break;
    case SB_LINEDOWN: top += 1; break;
    case SB_PAGEUP: top -= page; break;
    case SB_PAGEDOWN: top += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: top = HIWORD(wparam); break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = last_top(hwnd, *s); break;
    default: return 0;
    }
    top = std::max(0, std::min(top, last_top(hwnd, *s)));
    if (top == s->top) return 0;
    s->top = top;
    update_scroll_bar(hwnd, *s);
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

LRESULT on_set_text(HWND hwnd, WPARAM wparam, LPARAM lparam) {
    LRESULT r = DefWindowProcW(hwnd, WM_SETTEXT, wparam, lparam);
    EditState *s = state_of(hwnd);
    s->top = 0;
    relayout(hwnd, s);
    InvalidateRect(hwnd, nullptr, TRUE);
    return r;
}

LRESULT on_set_font(HWND hwnd, WPARAM wparam, LPARAM lparam) {
    EditState *s = state_of(hwnd);
    s->font = HFONT(wparam);
    relayout(hwnd, s);
    if (LOWORD(lparam)) InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

LRESULT on_nc_create(HWND hwnd, LPARAM lparam) {
    Window *w = window_from_handle(hwnd);
    w->control = std::make_unique<EditState>();
    return DefWindowProcW(hwnd, WM_NCCREATE, 0, lparam);
}

LRESULT CALLBACK edit_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_NCCREATE && !state_of(hwnd))
        return DefWindowProcW(hwnd, message, wparam, lparam);
    switch (message) {
    case WM_NCCREATE: return on_nc_create(hwnd, lparam);
    case WM_CREATE: relayout(hwnd, state_of(hwnd)); return 0;
    case WM_SIZE:
        relayout(hwnd, state_of(hwnd));
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_SETTEXT: return on_set_text(hwnd, wparam, lparam);
    case WM_SETFONT: return on_set_font(hwnd, wparam, lparam);
    case WM_GETFONT: return LRESULT(state_of(hwnd)->font);
    case WM_VSCROLL: return on_vscroll(hwnd, wparam);
    case WM_ERASEBKGND: return on_erase(hwnd, HDC(wparam));
    case WM_PAINT: return on_paint(hwnd);
    default: return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

} // namespace

std::vector<EditLine> edit_wrap(const std::u16string &text, int width, const EditMeasure &measure) {
    std::vector<EditLine> lines;
    size_t from = 0;
    for (;;) {
        size_t end = text.find(u"\r\n", from);
        wrap_paragraph(text, from, end == std::u16string::npos ? text.size() : end, width, measure,
                       &lines);
        if (end == std::u16string::npos) return lines;
        from = end + 2;
    }
}

void edit_class_register() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = edit_proc;
    wc.lpszClassName = EDIT_CLASS;
    class_register_builtin(wc);
}
