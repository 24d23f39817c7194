#include "gdi/font/font_engine.h"

#include <winuser.h>

namespace {

struct LineSpan {
    int start;
    int count;
    int width;
};

// Collects lines: fills the caller's array while it has room and counts them all.
struct LineSink {
    TextLine *lines;
    int capacity;
    int total;
    int widest;
};

void sink_add(LineSink *sink, const LineSpan &span) {
    if (sink->total < sink->capacity && sink->lines)
        sink->lines[sink->total] = TextLine{span.start, span.count, 0, 0, span.width};
    ++sink->total;
    if (span.width > sink->widest) sink->widest = span.width;
}

int run_width(FontInstance *font, const WCHAR *text, int start, int end) {
    int width = 0;
    for (int i = start; i < end; ++i)
        width += font_engine_advance(font, text[i]);
    return width;
}

// The longest run from `start` that ends at the end of a word and fits `max_width`; a first
// word wider than that stands alone. Spaces before a word belong to it; spaces after the last
// word that fits are left for the caller to skip.
LineSpan fit_words(FontInstance *font, const WCHAR *text, int start, int end, int max_width) {
    LineSpan span = {start, 0, 0};
    bool have_word = false;
    int i = start, width = 0;
    while (i < end) {
        int word_end = i, word_width = width;
        while (word_end < end && text[word_end] == ' ')
            word_width += font_engine_advance(font, text[word_end++]);
        while (word_end < end && text[word_end] != ' ')
            word_width += font_engine_advance(font, text[word_end++]);
        if (have_word && word_width > max_width) break;
        span.count = word_end - start;
        span.width = word_width;
        have_word = true;
        i = word_end;
        width = word_width;
        if (word_width > max_width) break;
    }
    return span;
}

// One paragraph (the text between line breaks), broken into lines at spaces.
void wrap_paragraph(FontInstance *font, const WCHAR *text, int start, int end, int max_width,
                    LineSink *sink) {
    do {
        LineSpan span = fit_words(font, text, start, end, max_width);
        sink_add(sink, span);
        start = span.start + span.count;
        while (start < end && text[start] == ' ')
            ++start;
    } while (start < end);
}

// Where the line break at `i` ends: CR LF is one break, a lone CR or LF another.
int break_end(const WCHAR *text, int i, int count) {
    return text[i] == '\r' && i + 1 < count && text[i + 1] == '\n' ? i + 2 : i + 1;
}

void split_lines(FontInstance *font, const WCHAR *text, int count, int max_width, UINT format,
                 LineSink *sink) {
    if (format & DT_SINGLELINE) {
        sink_add(sink, LineSpan{0, count, run_width(font, text, 0, count)});
        return;
    }
    int start = 0;
    for (int i = 0; i <= count; ++i) {
        if (i < count && text[i] != '\r' && text[i] != '\n') continue;
        if (format & DT_WORDBREAK)
            wrap_paragraph(font, text, start, i, max_width, sink);
        else
            sink_add(sink, LineSpan{start, i - start, run_width(font, text, start, i)});
        if (i == count) break;
        start = break_end(text, i, count);
        i = start - 1;
    }
}

void place_lines(const RECT &rect, UINT format, int line_height, TextLine *lines, int n) {
    int top = rect.top;
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
        top = rect.top + (rect.bottom - rect.top - line_height) / 2;
    else if ((format & DT_SINGLELINE) && (format & DT_BOTTOM))
        top = rect.bottom - line_height;
    for (int k = 0; k < n; ++k) {
        TextLine &line = lines[k];
        line.y = top + k * line_height;
        if (format & DT_CENTER)
            line.x = rect.left + (rect.right - rect.left - line.width) / 2;
        else if (format & DT_RIGHT)
            line.x = rect.right - line.width;
        else
            line.x = rect.left;
    }
}

} // namespace

int text_layout(FontInstance *font, const WCHAR *text, int count, const RECT &rect, UINT format,
                TextLine *lines, int capacity, RECT *bounds) {
    if (text && count < 0) // -1: the text runs to its terminator
        for (count = 0; text[count] != 0; ++count) {
        }
    TEXTMETRICW metrics = {};
    font_engine_metrics(font, &metrics);
    LineSink sink = {lines, capacity < 0 ? 0 : capacity, 0, 0};
    // Empty text makes no line at all.
    if (font && text && count > 0)
        split_lines(font, text, count, rect.right - rect.left, format, &sink);
    int filled = sink.total < sink.capacity ? sink.total : sink.capacity;
    if (lines) place_lines(rect, format, metrics.tmHeight, lines, filled);
    if (bounds)
        *bounds = RECT{rect.left, rect.top, rect.left + sink.widest,
                       rect.top + sink.total * metrics.tmHeight};
    return sink.total;
}
