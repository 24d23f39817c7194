#include "gdi/font/font_internal.h"
#include "gdi/font/font_metrics.h"

#include FT_ADVANCES_H
#include FT_MODULE_H
#include FT_TRUETYPE_TABLES_H

#include <fontconfig/fontconfig.h>

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>

#include "winlayer.h"

namespace {

struct Engine {
    FT_Library library = nullptr;
    FcConfig *config = nullptr; // our own, so that tear-down frees it and nothing else
    std::vector<std::unique_ptr<FontInstance>> fonts;
};

Engine engine;

// FreeType's allocator, given explicitly: FT_New_Library with these hooks, unlike
// FT_Init_FreeType, reads no driver properties from the environment, so a variable on one
// machine cannot change how glyphs are rendered.
void *ft_alloc(FT_Memory, long size) {
    return malloc((size_t)size);
}
void ft_free(FT_Memory, void *block) {
    free(block);
}
void *ft_realloc(FT_Memory, long, long size, void *block) {
    return realloc(block, (size_t)size);
}
FT_MemoryRec_ ft_memory = {nullptr, ft_alloc, ft_free, ft_realloc};

void engine_start() {
    if (!engine.library) {
        if (FT_New_Library(&ft_memory, &engine.library) != 0) {
            engine.library = nullptr;
        } else {
            FT_Add_Default_Modules(engine.library);
            FT_Bool no_darkening = 1;
            FT_Property_Set(engine.library, "autofitter", "no-stem-darkening", &no_darkening);
        }
    }
    if (!engine.config) engine.config = FcInitLoadConfigAndFonts();
}

bool same_logfont(const LOGFONTW &a, const LOGFONTW &b) {
    if (a.lfHeight != b.lfHeight || a.lfWidth != b.lfWidth || a.lfEscapement != b.lfEscapement ||
        a.lfOrientation != b.lfOrientation || a.lfWeight != b.lfWeight ||
        a.lfItalic != b.lfItalic || a.lfUnderline != b.lfUnderline ||
        a.lfStrikeOut != b.lfStrikeOut || a.lfCharSet != b.lfCharSet ||
        a.lfOutPrecision != b.lfOutPrecision || a.lfClipPrecision != b.lfClipPrecision ||
        a.lfQuality != b.lfQuality || a.lfPitchAndFamily != b.lfPitchAndFamily)
        return false;
    // Face names compare up to their terminator; what follows it is not part of the name.
    for (int i = 0; i < LF_FACESIZE; ++i) {
        if (a.lfFaceName[i] != b.lfFaceName[i]) return false;
        if (a.lfFaceName[i] == 0) break;
    }
    return true;
}

// The face name in fontconfig's UTF-8; the field need not be terminated.
std::string face_name_utf8(const WCHAR *name) {
    size_t count = 0;
    while (count < LF_FACESIZE && name[count] != 0)
        count++;
    return wl_utf8_from_utf16(name, count);
}

// The file fontconfig picks for the logical font's face, weight and slant, or for the default
// sans face when `fallback` is set.
bool face_file(const LOGFONTW &lf, bool fallback, std::string *file, int *index) {
    FcPattern *pattern = FcPatternCreate();
    std::string family = fallback ? std::string("sans-serif") : face_name_utf8(lf.lfFaceName);
    if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, (const FcChar8 *)family.c_str());
    int weight = lf.lfWeight <= 0 ? FW_NORMAL : lf.lfWeight > 1000 ? 1000 : lf.lfWeight;
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, lf.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(engine.config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(engine.config, pattern, &result);
    FcPatternDestroy(pattern);
    FcChar8 *path = nullptr;
    bool found = match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    if (found) {
        *file = (const char *)path;
        if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
    }
    if (match) FcPatternDestroy(match);
    return found;
}

FT_Face face_open(const LOGFONTW &lf) {
    if (!engine.library || !engine.config) return nullptr;
    for (bool fallback : {false, true}) {
        std::string file;
        int index = 0;
        FT_Face face = nullptr;
        if (!face_file(lf, fallback, &file, &index)) continue;
        if (FT_New_Face(engine.library, file.c_str(), index, &face) != 0) continue;
        if (FT_IS_SCALABLE(face)) return face;
        FT_Done_Face(face);
    }
    return nullptr;
}

// The average width the face is matched against: the weighted lowercase average that the OS/2
// table's xAvgCharWidth meant before version 3 (later tables average every glyph, which gives
// faces with equal letter widths different averages); the table's value when letters are
// missing.
int face_average_width(FT_Face face, const TT_OS2 *os2) {
    static const int weights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                    56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
    long sum = 0;
    for (int k = 0; k < 27; ++k) {
        FT_UInt index = FT_Get_Char_Index(face, k < 26 ? 'a' + k : ' ');
        FT_Fixed advance = 0;
        if (index == 0 || FT_Get_Advance(face, index, FT_LOAD_NO_SCALE, &advance) != 0)
            return os2 ? os2->xAvgCharWidth : 0;
        sum += advance * weights[k];
    }
    return (int)(sum / 1000);
}

FaceUnits face_units(FT_Face face) {
    const TT_OS2 *os2 = (const TT_OS2 *)FT_Get_Sfnt_Table(face, FT_SFNT_OS2);
    const TT_HoriHeader *hhea = (const TT_HoriHeader *)FT_Get_Sfnt_Table(face, FT_SFNT_HHEA);
    FaceUnits u = {};
    u.units_per_em = face->units_per_EM;
    u.win_ascent = os2 ? os2->usWinAscent : 0;
    u.win_descent = os2 ? os2->usWinDescent : 0;
    u.hhea_ascent = hhea ? hhea->Ascender : face->ascender;
    u.hhea_descent = hhea ? hhea->Descender : face->descender;
    u.hhea_line_gap = hhea ? hhea->Line_Gap : 0;
    u.avg_char_width = face_average_width(face, os2);
    u.max_advance = face->max_advance_width;
    return u;
}

// The fields of TEXTMETRICW that describe the face rather than its size.
void describe_face(FT_Face face, const LOGFONTW &lf, TEXTMETRICW *m) {
    constexpr BYTE VARIABLE_PITCH = 0x01; // TMPF_FIXED_PITCH: set when the pitch is NOT fixed
    constexpr BYTE VECTOR_TRUETYPE = 0x02 | 0x04;
    constexpr BYTE FAMILY_ROMAN = 0x10, FAMILY_SWISS = 0x20, FAMILY_MODERN = 0x30;
    const TT_OS2 *os2 = face ? (const TT_OS2 *)FT_Get_Sfnt_Table(face, FT_SFNT_OS2) : nullptr;
    m->tmWeight = os2 ? os2->usWeightClass : (lf.lfWeight > 0 ? lf.lfWeight : FW_NORMAL);
    m->tmDigitizedAspectX = 96;
    m->tmDigitizedAspectY = 96;
    m->tmFirstChar = os2 ? os2->usFirstCharIndex : 0x20;
    m->tmLastChar = os2 ? os2->usLastCharIndex : 0xFFFF;
    m->tmDefaultChar = os2 && os2->version >= 2 ? os2->usDefaultChar : 0;
    m->tmBreakChar = os2 && os2->version >= 2 && os2->usBreakChar ? os2->usBreakChar : 0x20;
    m->tmItalic = face && (face->style_flags & FT_STYLE_FLAG_ITALIC) ? 255 : 0;
    bool fixed = face && FT_IS_FIXED_WIDTH(face);
    // PANOSE serif styles 11 to 13 are the sans-serif ones.
    bool sans = os2 && os2->panose[1] >= 11 && os2->panose[1] <= 13;
    m->tmPitchAndFamily = (BYTE)(VECTOR_TRUETYPE | (fixed ? 0 : VARIABLE_PITCH) |
                                 (fixed  ? FAMILY_MODERN
                                  : sans ? FAMILY_SWISS
                                         : FAMILY_ROMAN));
    m->tmCharSet = 0;
}

void font_realise(FontInstance *font) {
    const LOGFONTW &lf = font->logfont;
    font->face = face_open(lf);
    FaceUnits units = {};
    if (font->face) units = face_units(font->face);
    FontScale scale = font_metrics_compute(units, lf.lfHeight, lf.lfWidth, &font->metrics);
    double em_units = units.units_per_em > 0 ? units.units_per_em : 2048;
    font->x_per_unit = scale.x_ppem / em_units;
    describe_face(font->face, lf, &font->metrics);
    if (!font->face) return;
    FT_F26Dot6 x_size = (FT_F26Dot6)lround(scale.x_ppem * 64);
    FT_F26Dot6 y_size = (FT_F26Dot6)lround(scale.y_ppem * 64);
    if (FT_Set_Char_Size(font->face, x_size, y_size, 72, 72) != 0) {
        // A face that cannot take the size measures as given but draws nothing.
        FT_Done_Face(font->face);
        font->face = nullptr;
    }
}

} // namespace

FontInstance *font_engine_get(const LOGFONTW &font) {
    for (const auto &known : engine.fonts)
        if (same_logfont(known->logfont, font)) return known.get();
    engine_start();
    auto made = std::make_unique<FontInstance>();
    made->logfont = font;
    font_realise(made.get());
    engine.fonts.push_back(std::move(made));
    return engine.fonts.back().get();
}

void font_engine_metrics(FontInstance *font, TEXTMETRICW *metrics) {
    if (font && metrics) *metrics = font->metrics;
}

int font_engine_advance(FontInstance *font, WCHAR c) {
    return font ? glyph_cache_get(font, c).advance : 0;
}

SIZE font_engine_extent(FontInstance *font, const WCHAR *text, int count) {
    SIZE size = {0, font ? font->metrics.tmHeight : 0};
    if (!font || !text) return size;
    int64_t width = 0;
    for (int i = 0; i < count; ++i)
        width += glyph_cache_get(font, text[i]).advance;
    size.cx = width > INT32_MAX ? INT32_MAX : (LONG)width;
    return size;
}

void font_engine_shutdown() {
    for (auto &font : engine.fonts)
        if (font->face) FT_Done_Face(font->face);
    engine.fonts.clear();
    if (engine.library) FT_Done_Library(engine.library);
    engine.library = nullptr;
    if (engine.config) FcConfigDestroy(engine.config);
    engine.config = nullptr;
}
