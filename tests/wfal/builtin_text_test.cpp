// The module's built-in language text, read when the language file can't be opened.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "module/state.h"
#include "support/lang_file.h"
#include "support/temp_root.h"

namespace {

// Keys shown as they are in every language.
// clang-format off
const std::set<std::u16string> UNTRANSLATED = {
    u"Stop", u"Start", u"Esc", u"Marker", u"Max", u"kHz", u"MHz", u"Freq", u"Ohm", u"Top", u"PgUp",
    u"PgDn", u"PrtScr", u"Auto", u"dB", u"dBm", u"dBm/Hz", u"Name", u"OK", u"Spectrogram viewer",
    u"Spectrogram (*.res)!*.res!", u"Stop test?"};
// clang-format on
// Keys with an English text only.
const std::set<std::u16string> ENGLISH_ONLY = {u"Section start", u"Section end", u"Abouttitle",
                                               u"Abouttext", u"Version"};

class BuiltinText : public ::testing::Test {
protected:
    TempDeviceRoot root; // holds no language file

    void SetUp() override { lang_file_set_path(u"\\missing.txt"); }
    void TearDown() override { lang_free(); }
    void load(int language) {
        lang_free();
        wfal.language_number = language;
        lang_load();
    }
    std::set<std::u16string> keys() const {
        std::set<std::u16string> all;
        for (int i = 0; i < wfal.lang.entry_count; i++)
            all.insert(wfal.lang.pool + wfal.lang.index[i].key);
        return all;
    }
};

TEST_F(BuiltinText, IsAUtf16TextWithCrLfLineEnds) {
    HMODULE module = GetModuleHandleW(u"wfal.dll");
    HRSRC resource = FindResourceW(module, u"TXT", RT_RCDATA);
    ASSERT_NE(resource, nullptr);
    DWORD size = SizeofResource(module, resource);
    const char16_t *units = (const char16_t *)LockResource(LoadResource(module, resource));
    ASSERT_NE(units, nullptr);
    ASSERT_EQ(size % 2, 0u);
    const std::u16string text(units, size / 2);
    EXPECT_EQ(text[0], u'\uFEFF');
    EXPECT_EQ(text.substr(text.size() - 2), u"\r\n");
    size_t pairs = 0;
    for (size_t at = text.find(u"\r\n"); at != std::u16string::npos;
         at = text.find(u"\r\n", at + 1))
        pairs++;
    EXPECT_EQ(std::count(text.begin(), text.end(), u'\r'), (long)pairs);
    EXPECT_EQ(std::count(text.begin(), text.end(), u'\n'), (long)pairs);
}

TEST_F(BuiltinText, HasEnglishForAllAndGermanForMostKeys) {
    load(1);
    const std::set<std::u16string> all = keys();
    EXPECT_EQ(wfal.lang.entry_count, 93);
    EXPECT_EQ(all.size(), 93u);
    for (const std::u16string &key : all) {
        SCOPED_TRACE(printable(key));
        load(1);
        const WCHAR *english = lang_lookup(key.c_str());
        const std::u16string english_text = english;
        load(3);
        const WCHAR *german = lang_lookup(key.c_str());
        if (UNTRANSLATED.count(key)) {
            EXPECT_EQ(english, key.c_str());
            EXPECT_EQ(german, key.c_str());
        } else if (ENGLISH_ONLY.count(key)) {
            EXPECT_NE(english, key.c_str());
            EXPECT_EQ(std::u16string(german), english_text);
        } else {
            EXPECT_NE(english, key.c_str());
            EXPECT_NE(std::u16string(german), english_text);
        }
    }
    for (const std::u16string &key : UNTRANSLATED)
        EXPECT_TRUE(all.count(key)) << printable(key);
    for (const std::u16string &key : ENGLISH_ONLY)
        EXPECT_TRUE(all.count(key)) << printable(key);
}

TEST_F(BuiltinText, TranslatesKeys) {
    const struct {
        int language;
        const char16_t *key, *text;
    } cases[] = {
        {1, u"Terminated", u"Terminated"},
        {3, u"Terminated", u"Abgeschlossen"},
        {3, u"Unterminated", u"Offen"},
        {3, u"High imp probe", u"Hochohm-Tastkopf"},
        {1, u"Find at marker", u"at marker"},
        {1, u"Find chg thr", u"Change"},
        {3, u"Section start", u"Start"},
        {3, u"Abouttext", u"Spectrogram viewer for VELMAR test equipments"},
        {1, u"Max test time reached.\nTest stopped.", u"Max test time reached.\nTest stopped."},
        {3, u"File write error.\nTest stopped.",
         u"Fehler beim Schreiben der Datei.\nMessung beendet."},
        {1, u"Language", u"Language"},
        {2, u"Language", u"Язык"},
        {3, u"Language", u"Sprache"},
        {4, u"Language", u"Linguaggio"},
        {2, u"Find at marker", u"at marker"},
        {0, u"Find at marker", u"at marker"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(printable(c.key));
        load(c.language);
        EXPECT_EQ(std::u16string(lang_lookup(c.key)), c.text) << c.language;
    }
    load(3);
    const WCHAR *stop = u"Stop";
    EXPECT_EQ(lang_lookup(stop), stop);
}

TEST_F(BuiltinText, OffersEnglishAndGermanNamedInTheSelectedLanguage) {
    const struct {
        int language;
        const char16_t *english, *german;
    } cases[] = {
        {1, u"English", u"German"},
        {2, u"Английский", u"Немецкий"},
        {3, u"Englisch", u"Deutsch"},
        {4, u"Inglese", u"Tedesco"},
    };
    for (const auto &c : cases) {
        load(c.language);
        ASSERT_EQ(wfal.lang.offer_count, 2);
        EXPECT_EQ(wfal.lang.offers[0].number, 1);
        EXPECT_EQ(std::u16string(wfal.lang.offers[0].name), c.english);
        EXPECT_EQ(wfal.lang.offers[1].number, 3);
        EXPECT_EQ(std::u16string(wfal.lang.offers[1].name), c.german);
    }
}

} // namespace
