// The line layout of the multi-line edit control: the text broken into lines at CR LF and
// word-wrapped to a width. A pure function of the text and a measure, so that it can be tested
// without a font.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

// A line of the control: `length` characters of the text from `start`, without the CR LF that
// may end it. Spaces where a line was wrapped stay at the end of that line.
struct EditLine {
    size_t start;
    size_t length;
};

// The width in pixels of `count` characters of text.
using EditMeasure = std::function<int(const WCHAR *text, int count)>;

// Every CR LF starts a new line (a text that ends with one has an empty last line; an empty
// text is one empty line). A line that is wider than `width` breaks after the last space
// that lets it fit; a word that fits on no line breaks after the last character that fits, and
// each line holds at least one character.
std::vector<EditLine> edit_wrap(const std::u16string &text, int width, const EditMeasure &measure);
