// Loading an external language text and looking keys up in it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <winlayer.h>

#include "module/state.h"
#include "support/lang_file.h"
#include "support/temp_root.h"

namespace {

using Texts = std::vector<std::pair<std::u16string, std::u16string>>; // key, expected text

class LangText : public ::testing::Test {
protected:
    TempDeviceRoot root;

    void SetUp() override {
        lang_file_set_path(u"\\lang.txt");
        wfal.lang.preferred_name[0] = 0;
    }
    void TearDown() override { lang_free(); }

    void load_bytes(const std::string &bytes, int language) {
        root.write("lang.txt", bytes);
        wfal.language_number = language;
        lang_load();
    }
    void load(const std::u16string &text, int language) {
        load_bytes(utf16le(u"\uFEFF" + text), language);
    }
    void expect_texts(const Texts &texts) {
        for (const auto &[key, text] : texts)
            EXPECT_EQ(std::u16string(lang_lookup(key.c_str())), text) << printable(key);
    }
};

struct TextCase {
    const char *name;
    std::u16string text;
    int language;
    Texts expected;
};

const TextCase TEXT_CASES[] = {
    {"selected after fallback", u"#K\r\n<1>one\r\n<3>drei", 3, {{u"K", u"drei"}}},
    {"selected before fallback", u"#K\r\n<3>drei\r\n<1>one", 3, {{u"K", u"drei"}}},
    {"falls back to language 1", u"#K\r\n<3>drei\r\n<1>one", 2, {{u"K", u"one"}}},
    {"language 1 ignores others", u"#K\r\n<3>drei\r\n<1>one", 1, {{u"K", u"one"}}},
    {"key without lines", u"#Stop\r\n#K\r\n<1>one", 3, {{u"Stop", u"Stop"}, {u"K", u"one"}}},
    {"fallback lines join",
     u"#K\r\n<1>ab\r\n<1>cd\r\n#L\r\n<1>l",
     3,
     {{u"K", u"abcd"}, {u"L", u"l"}}},
    {"dropped fallback, selected lines join",
     u"#K\r\n<1>a\r\n<3>b\r\n<3>c\r\n#L\r\n<1>l",
     3,
     {{u"K", u"bc"}, {u"L", u"l"}}},
    {"fallback after selected ignored",
     u"#K\r\n<3>b\r\n<1>x\r\n<3>c\r\n#L\r\n<1>l",
     3,
     {{u"K", u"bc"}, {u"L", u"l"}}},
    {"other language between lines", u"#K\r\n<1>a\r\n<2>z\r\n<1>b", 3, {{u"K", u"ab"}}},
    {"empty text is a text", u"#K\r\n<1>", 1, {{u"K", u""}}},
    {"line before first key", u"<1>stray\r\n#K\r\n<1>one", 1, {{u"K", u"one"}}},
    {"number 0, no '>'",
     u"#A\r\n<1>one\r\n<0>zero\r\n#C\r\n<1 none\r\n#D\r\n<>x",
     0,
     {{u"A", u"one"}, {u"C", u"C"}, {u"D", u"D"}}},
    {"negative number", u"#B\r\n<1>one\r\n<-1>neg", -1, {{u"B", u"one"}}},
    {"number syntax",
     u"#A\r\n< \t+3>plus\r\n#B\r\n<03>lead\r\n#C\r\n<3x>y>z\r\n#D\r\n<1>a>b",
     3,
     {{u"A", u"plus"}, {u"B", u"lead"}, {u"C", u"y>z"}, {u"D", u"a>b"}}},
    {"huge number ignored", u"#K\r\n<99999999999999999999>x\r\n<1>one", 3, {{u"K", u"one"}}},
    {"blanks", u" \t #Key \t\r\n\t <1>  text \t ", 1, {{u"Key", u"  text"}}},
    {"empty and comment lines",
     u"\r\n\r\n#K\r\n \t\r\n//<1>no\r\nx<1>no\r\n\r\n<1>one\r\n\r\n",
     1,
     {{u"K", u"one"}}},
    {"LANGDEF lines are no texts",
     u"#K\r\n<1>one\r\n #LANGDEF \r\n<1>English\r\n#L",
     1,
     {{u"K", u"one"}, {u"L", u"L"}}},
    {"a key ends LANGDEF", u"#LANGDEF\r\n<1>English\r\n#K\r\n<1>one", 1, {{u"K", u"one"}}},
    {"LANGDEF prefix is a key", u"#LANGDEFX\r\n<1>x", 1, {{u"LANGDEFX", u"x"}}},
    {"escapes",
     u"#A\\\\B\r\n<1>back\\\\slash\\qdrop\r\n#F\\n\r\n<1>a\\nb\\\\n",
     1,
     {{u"A\\B", u"back\\slashdrop"}, {u"F\n", u"a\nb\\n"}}},
    {"backslash at line end",
     u"#D\n<1>end\\\n#E\r<1>e\\\r#F\r\n<1>f\\",
     1,
     {{u"D", u"end"}, {u"E", u"e"}, {u"F", u"f"}}},
    {"unsigned key order",
     u"#\u8000x\r\n<1>high\r\n#x\r\n<1>low\r\n#xy\r\n<1>longer\r\n#\uFF01\r\n<1>top\r\n#\r\n<1>"
     u"none",
     1,
     {{u"\u8000x", u"high"},
      {u"x", u"low"},
      {u"xy", u"longer"},
      {u"\uFF01", u"top"},
      {u"", u"none"}}},
};

TEST_F(LangText, KeepsTheTextsOfTheSelectedLanguage) {
    for (const TextCase &c : TEXT_CASES) {
        SCOPED_TRACE(c.name);
        load(c.text, c.language);
        expect_texts(c.expected);
        for (int i = 1; i < wfal.lang.entry_count; i++) {
            const WCHAR *pool = wfal.lang.pool;
            EXPECT_LT(std::u16string(pool + wfal.lang.index[i - 1].key),
                      std::u16string(pool + wfal.lang.index[i].key));
        }
        lang_free();
    }
}

TEST_F(LangText, LineEndsReadAlike) {
    const std::vector<std::u16string> lines = {u"#LANGDEF", u"<3>German", u"#K", u"<1>one",
                                               u"<3>drei",  u"",          u"#L", u"<1>l"};
    for (const std::u16string end : {u"\r\n", u"\n", u"\r"}) {
        std::u16string text;
        for (const std::u16string &line : lines)
            text += line + end;
        load(text, 3);
        EXPECT_EQ(wfal.lang.entry_count, 2);
        EXPECT_EQ(wfal.lang.offer_count, 1);
        expect_texts({{u"K", u"drei"}, {u"L", u"l"}});
        lang_free();
    }
}

TEST_F(LangText, LinesKeepTheir4094FirstCharacters) {
    std::u16string key(4999, u'k'), text(4997, u'x');
    load(u"#" + key + u"\r\n<1>" + text + u"\r\n#Next\r\n<1>n", 1);
    EXPECT_EQ(std::u16string(lang_lookup(key.substr(0, 4093).c_str())), text.substr(0, 4091));
    EXPECT_EQ(lang_lookup(key.c_str()), key.c_str());
    expect_texts({{u"Next", u"n"}});
}

TEST_F(LangText, MissingKeysAnswerWithTheKeyPointer) {
    const WCHAR *missing = u"Missing", *bare = u"Bare", *escaped = u"Line one.\\nLine two.";
    EXPECT_EQ(lang_lookup(missing), missing); // nothing loaded yet
    load(u"#Present\r\n<1>here\r\n#Bare\r\n#Line one.\\nLine two.\r\n<1>two lines", 1);
    EXPECT_EQ(std::u16string(lang_lookup(u"Line one.\nLine two.")), u"two lines");
    for (const WCHAR *key : {missing, bare, escaped})
        EXPECT_EQ(lang_lookup(key), key) << printable(key);
}

TEST_F(LangText, UnusableDataGivesAnEmptyTable) {
    const struct {
        const char *name;
        std::string bytes;
        int entries;
    } cases[] = {
        {"empty file", "", 0},
        {"one byte", "\xFF", 0},
        {"only the mark", "\xFF\xFE", 0},
        {"mark and an odd byte", "\xFF\xFE#", 0},
        {"big-endian mark", "\xFE\xFF" + utf16le(u"#K"), 0},
        {"no mark", utf16le(u"#Terminated\r\n<1>Terminated\r\n<3>Abgeschlossen"), 0},
        {"odd trailing byte ignored", utf16le(u"\uFEFF#K\r\n<1>v") + "A", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        load_bytes(c.bytes, 3);
        EXPECT_EQ(wfal.lang.entry_count, c.entries);
        const WCHAR *key = u"Terminated"; // in the built-in text, which must not be consulted
        EXPECT_EQ(lang_lookup(key), key);
        if (c.entries) expect_texts({{u"K", u"v"}});
        lang_free();
    }
}

TEST_F(LangText, AFileThatOpensIsTheOnlySource) {
    const struct {
        const char *name;
        WlFaultOp fault;
        int entries;
    } cases[] = {
        {"open fails: built-in text", WL_FAULT_OPEN, 93},
        {"first read fails: nothing", WL_FAULT_READ, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        wl_fault_fail(c.fault, 1, TRUE);
        load(u"#K\r\n<1>one", 3);
        wl_fault_reset();
        EXPECT_EQ(wfal.lang.entry_count, c.entries);
        const WCHAR *key = u"K";
        EXPECT_EQ(lang_lookup(key), key);
        lang_free();
    }
}

TEST_F(LangText, GrowsIndexAndPoolInSteps) {
    std::u16string text;
    for (int i = 1499; i >= 0; i--) // reverse order, so that the sort has work to do
        text += u"#k" + number_text(i) + u"\r\n<1>text of key " + number_text(i) + u"\r\n";
    load(text, 1);
    ASSERT_EQ(wfal.lang.entry_count, 1500);
    for (int i = 0; i < 1500; i++)
        ASSERT_EQ(std::u16string(lang_lookup((u"k" + number_text(i)).c_str())),
                  u"text of key " + number_text(i));
    EXPECT_EQ(wfal.lang.index_capacity, 3 * 4096);
    EXPECT_GT(wfal.lang.pool_capacity, 16384 * 2);
    EXPECT_EQ(wfal.lang.pool_capacity % 16384, 0);
    lang_free();
    EXPECT_EQ(wfal.lang.pool, nullptr);
    EXPECT_EQ(wfal.lang.index, nullptr);
    EXPECT_EQ(wfal.lang.entry_count + wfal.lang.pool_capacity + wfal.lang.index_capacity, 0);
}

TEST_F(LangText, OffersLanguagesRenamedInTheSelectedOne) {
    const std::u16string name(40, u'n');
    load(u"#LANGDEF\r\n<1>English\r\n//<2>Russian\r\n<3>German\r\n<4>" + name +
             u"\r\n#LANGNAME1\r\n<1>English\r\n<3>Englisch\r\n#LANGNAME3\r\n<1>" + name +
             u"x\r\n<3>Deutsch",
         1);
    const std::pair<int, std::u16string> english[] = {
        {1, u"English"}, {3, name.substr(0, 31)}, {4, name.substr(0, 31)}};
    ASSERT_EQ(wfal.lang.offer_count, 3);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(wfal.lang.offers[i].number, english[i].first);
        EXPECT_EQ(std::u16string(wfal.lang.offers[i].name), english[i].second);
    }
    load(u"#LANGDEF\r\n<1>English\r\n<3>German\r\n#LANGNAME1\r\n<3>Englisch", 3);
    EXPECT_EQ(wfal.lang.entry_count, 1); // a second load starts afresh
    const WCHAR *gone = u"LANGNAME3";
    EXPECT_EQ(lang_lookup(gone), gone);
    ASSERT_EQ(wfal.lang.offer_count, 2);
    EXPECT_EQ(std::u16string(wfal.lang.offers[0].name), u"Englisch");
    EXPECT_EQ(std::u16string(wfal.lang.offers[1].name), u"German");
}

TEST_F(LangText, ChoosesTheLanguageByNameWhenNoneIsGiven) {
    std::u16string offers = u"#LANGDEF\r\n";
    for (int i = 1; i <= 40; i++)
        offers += u"<" + number_text(i) + u">L" + number_text(i) + u"\r\n";
    const struct {
        const char *name;
        std::u16string preferred, text;
        int language, selected, offers, last_offer;
        std::u16string expected;
    } cases[] = {
        {"unrecorded offer chosen", u"L0035", offers + u"#K\r\n<35>x\r\n<1>y", 0, 35, 32, 32, u"x"},
        {"name prefix", u"Deutsch (CH)", u"#LANGDEF\r\n<1>English\r\n<3>Deutsch\r\n#K\r\n<3>d", 0,
         3, 2, 3, u"d"},
        {"empty name chooses", u"", u"#LANGDEF\r\n<1>English\r\n<5>\r\n#K\r\n<1>e\r\n<5>f", 0, 5, 2,
         5, u"f"},
        {"no match", u"", u"#LANGDEF\r\n<1>English\r\n#K\r\n<1>e\r\n<3>d", 0, 0, 1, 1, u"e"},
        {"given language wins", u"Deutsch", u"#LANGDEF\r\n<3>Deutsch\r\n#K\r\n<3>d\r\n<1>e", 1, 1,
         1, 3, u"e"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::copy(c.preferred.begin(), c.preferred.end(), wfal.lang.preferred_name);
        wfal.lang.preferred_name[c.preferred.size()] = 0;
        load(c.text, c.language);
        EXPECT_EQ(wfal.lang.selected_language, c.selected);
        EXPECT_EQ(wfal.lang.offer_count, c.offers);
        EXPECT_EQ(wfal.lang.offers[c.offers - 1].number, c.last_offer);
        expect_texts({{u"K", c.expected}});
        lang_free();
    }
}

} // namespace
