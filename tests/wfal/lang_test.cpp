// Loading an external language text and looking keys up in it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <strsafe.h>
#include <winlayer.h>

#include "module/state.h"
#include "support/lang_file.h"
#include "support/temp_root.h"

namespace {

std::u16string decimal(int n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

std::string file16(const std::u16string &text) {
    return utf16le(u"\uFEFF" + text);
}

class LangText : public ::testing::Test {
protected:
    TempDeviceRoot root;

    void SetUp() override { StringCchCopyW(wfal.language_path, PATH_CHARS, u"\\lang.txt"); }
    void TearDown() override { lang_free(); }

    void load(const std::string &bytes, int language) {
        root.write("lang.txt", bytes);
        wfal.language_number = language;
        lang_load();
    }
    // "key=text|key=text": each key's lookup, the text up to the next '|'.
    void expect_texts(const std::u16string &texts) {
        for (size_t from = 0, end; from <= texts.size(); from = end + 1) {
            end = std::min(texts.find(u'|', from), texts.size());
            const size_t is = texts.find(u'=', from);
            const std::u16string key = texts.substr(from, is - from);
            EXPECT_EQ(std::u16string(lang_lookup(key.c_str())), texts.substr(is + 1, end - is - 1))
                << printable(key);
        }
    }
    // The offered languages as "number:name|...".
    static std::u16string offers() {
        std::u16string text;
        for (int i = 0; i < wfal.lang.offer_count; i++)
            text += (i ? u"|" : u"") + decimal(wfal.lang.offers[i].number) + u":" +
                    wfal.lang.offers[i].name;
        return text;
    }
};

struct TextCase {
    const char *name;
    std::string bytes;
    int language;
    std::u16string texts;        // what the keys then give
    std::u16string offers = u""; // "number:name|..."
    int selected = 0;            // the language chosen, when language 0 asks for one
    int fault = -1;              // the WlFaultOp that fails for good
};

// 40 offers, the 35th without a name.
const std::u16string FORTY = [] {
    std::u16string text = u"#LANGDEF\r\n";
    for (int i = 1; i <= 40; i++)
        text += u"<" + decimal(i) + u">" + (i == 35 ? u"" : u"L" + decimal(i)) + u"\r\n";
    return text;
}();
const std::u16string N40(40, u'n'), N31(31, u'n'), DEF = u"#LANGDEF\r\n<1>English\r\n";

// The built-in text ("Terminated" is only there) is read only when the file does not open. Each
// load starts afresh. Only LANGDEF lines offer, 32 at most; names are cut to 31 characters and
// renamed in the selected language. Language 0 takes the offer whose name begins the preferred
// name, which the host leaves empty: an offer without a name (also past the 32 recorded).
// clang-format off
const TextCase TEXT_CASES[] = {
    {"selected after fallback", file16(u"#K\r\n<1>one\r\n<3>drei"), 3, u"K=drei"},
    {"selected before fallback", file16(u"#K\r\n<3>drei\r\n<1>one"), 3, u"K=drei"},
    {"falls back to language 1", file16(u"#K\r\n<3>drei\r\n<1>one"), 2, u"K=one"},
    {"language 1 ignores others", file16(u"#K\r\n<3>drei\r\n<1>one"), 1, u"K=one"},
    {"key without lines", file16(u"#Stop\r\n#K\r\n<1>one"), 3, u"Stop=Stop|K=one"},
    {"fallback lines join", file16(u"#K\r\n<1>ab\r\n<1>cd\r\n#L\r\n<1>l"), 3, u"K=abcd|L=l"},
    {"fallback dropped", file16(u"#K\r\n<1>a\r\n<3>b\r\n<3>c\r\n#L\r\n<1>l"), 3, u"K=bc|L=l"},
    {"late fallback ignored", file16(u"#K\r\n<3>b\r\n<1>x\r\n<3>c\r\n#L\r\n<1>l"), 3, u"K=bc|L=l"},
    {"other language between", file16(u"#K\r\n<1>a\r\n<2>z\r\n<1>b"), 3, u"K=ab"},
    {"empty text is a text", file16(u"#K\r\n<1>"), 1, u"K="},
    {"line before first key", file16(u"<1>stray\r\n#K\r\n<1>one"), 1, u"K=one"},
    {"number 0, no '>'", file16(u"#A\r\n<1>one\r\n<0>zero\r\n#C\r\n<1 none\r\n#D\r\n<>x"), 0, u"A=one|C=C|D=D"},
    {"negative number", file16(u"#B\r\n<1>one\r\n<-1>neg"), -1, u"B=one"},
    {"number syntax", file16(u"#A\r\n< \t+3>plus\r\n#B\r\n<03>lead\r\n#C\r\n<3x>y>z\r\n#D\r\n<1>a>b"), 3, u"A=plus|B=lead|C=y>z|D=a>b"},
    {"huge number", file16(u"#K\r\n<99999999999999999999>x\r\n<1>one"), 3, u"K=one"},
    {"blanks", file16(u" \t #Key \t\r\n\t <1>  text \t "), 1, u"Key=  text"},
    {"empty and comment lines", file16(u"\r\n\r\n#K\r\n \t\r\n//<1>no\r\nx<1>no\r\n\r\n<1>one\r\n\r\n"), 1, u"K=one"},
    {"LANGDEF no texts", file16(u"#K\r\n<1>one\r\n #LANGDEF \r\n<1>English\r\n#L"), 1, u"K=one|L=L", u"1:English"},
    {"a key ends LANGDEF", file16(u"#LANGDEF\r\n<1>English\r\n#K\r\n<1>one"), 1, u"K=one", u"1:English"},
    {"LANGDEF prefix is a key", file16(u"#LANGDEFX\r\n<1>x"), 1, u"LANGDEFX=x"},
    {"escapes", file16(u"#A\\\\B\r\n<1>back\\\\slash\\qdrop\r\n#F\\n\r\n<1>a\\nb\\\\n"), 1, u"A\\B=back\\slashdrop|F\n=a\nb\\n"},
    {"LF line ends", file16(u"#LANGDEF\n<3>German\n#K\n<1>one\n<3>drei\n\n#L\n<1>l\n"), 3, u"K=drei|L=l", u"3:German"},
    {"CR line ends", file16(u"#LANGDEF\r<3>German\r#K\r<1>one\r<3>drei\r\r#L\r<1>l\r"), 3, u"K=drei|L=l", u"3:German"},
    {"offers renamed", file16(u"<2>Stray\r\n" + DEF + u"//<2>Russian\r\n<3>German\r\n<4>" + N40 + u"\r\n#LANGNAME1\r\n<1>English\r\n<3>Englisch\r\n#LANGNAME3\r\n<1>" + N40 + u"x\r\n<3>Deutsch"), 1, u"K=K", u"1:English|3:" + N31 + u"|4:" + N31},
    {"offers afresh", file16(DEF + u"<3>German\r\n#LANGNAME1\r\n<3>Englisch"), 3, u"LANGNAME3=LANGNAME3", u"1:Englisch|3:German"},
    {"past 32 offers", file16(FORTY + u"#K\r\n<35>x\r\n<1>y"), 0, u"K=x", u"1:L1|2:L2|3:L3|4:L4|5:L5|6:L6|7:L7|8:L8|9:L9|10:L10|11:L11|12:L12|13:L13|14:L14|15:L15|16:L16|17:L17|18:L18|19:L19|20:L20|21:L21|22:L22|23:L23|24:L24|25:L25|26:L26|27:L27|28:L28|29:L29|30:L30|31:L31|32:L32", 35},
    {"offer without a name", file16(DEF + u"<5>\r\n#K\r\n<1>e\r\n<5>f"), 0, u"K=f", u"1:English|5:", 5},
    {"no offer chosen", file16(DEF + u"#K\r\n<1>e\r\n<3>d"), 0, u"K=e", u"1:English"},
    {"a given language", file16(u"#LANGDEF\r\n<3>\r\n#K\r\n<3>d\r\n<1>e"), 1, u"K=e", u"3:"},
    {"backslash at line end", file16(u"#D\n<1>end\\\n#E\r<1>e\\\r#F\r\n<1>f\\"), 1, u"D=end|E=e|F=f"},
    {"unsigned key order", file16(u"#\u8000x\r\n<1>h\r\n#x\r\n<1>l\r\n#xy\r\n<1>2\r\n#\uFF01\r\n<1>t\r\n#\r\n<1>0"), 1, u"\u8000x=h|x=l|xy=2|\uFF01=t|=0"},
    {"empty file", "", 3, u"K=K|Terminated=Terminated"},
    {"only the mark", "\xFF\xFE#", 3, u"K=K|Terminated=Terminated"},
    {"big-endian mark", "\xFE\xFF" + utf16le(u"#K\r\n<1>v"), 3, u"K=K"},
    {"no mark", utf16le(u"#Terminated\r\n<1>Terminated\r\n<3>Offen"), 3, u"Terminated=Terminated"},
    {"odd trailing byte", file16(u"#K\r\n<1>v") + "A", 3, u"K=v|Terminated=Terminated"},
    {"open fails", file16(u"#K\r\n<1>v"), 3, u"K=K|Terminated=Abgeschlossen", u"", 0, WL_FAULT_OPEN},
    {"read fails", file16(u"#K\r\n<1>v"), 3, u"K=K|Terminated=Terminated", u"", 0, WL_FAULT_READ},
};
// clang-format on

TEST_F(LangText, KeepsTheTextsOfTheSelectedLanguage) {
    for (const TextCase &c : TEXT_CASES) {
        SCOPED_TRACE(c.name);
        if (c.fault >= 0) wl_fault_fail(WlFaultOp(c.fault), 1, TRUE);
        load(c.bytes, c.language);
        wl_fault_reset();
        expect_texts(c.texts);
        if (c.fault != WL_FAULT_OPEN) { // the built-in text's offers are its own
            EXPECT_EQ(offers(), c.offers);
        }
        EXPECT_EQ(wfal.lang.selected_language, c.language ? c.language : c.selected);
        const WCHAR *pool = wfal.lang.pool;
        for (int i = 1; i < wfal.lang.entry_count; i++)
            EXPECT_LT(std::u16string(pool + wfal.lang.index[i - 1].key),
                      std::u16string(pool + wfal.lang.index[i].key));
    }
}

// Lines keep their first 4094 characters; a key without text, or none loaded, answers with the
// very pointer it was given. 1500 keys in reverse order grow the index and the pool.
TEST_F(LangText, LongLinesMissingKeysAndGrowth) {
    const WCHAR *missing = u"Missing";
    lang_free();
    EXPECT_EQ(lang_lookup(missing), missing);
    std::u16string key(4999, u'k'), text(4997, u'x'), many;
    load(file16(u"#" + key + u"\r\n<1>" + text + u"\r\n#Bare\r\n#Next\r\n<1>n"), 1);
    EXPECT_EQ(std::u16string(lang_lookup(key.substr(0, 4093).c_str())), text.substr(0, 4091));
    expect_texts(u"Next=n");
    for (const WCHAR *k : {missing, (const WCHAR *)u"Bare", (const WCHAR *)key.c_str()})
        EXPECT_EQ(lang_lookup(k), k) << printable(k);
    for (int i = 1499; i >= 0; i--)
        many += u"#k" + number_text(i) + u"\r\n<1>text " + number_text(i) + u"\r\n";
    load(file16(many), 1);
    ASSERT_EQ(wfal.lang.entry_count, 1500);
    for (int i = 0; i < 1500; i++)
        ASSERT_EQ(std::u16string(lang_lookup((u"k" + number_text(i)).c_str())),
                  u"text " + number_text(i));
}

} // namespace
