#include "base/text.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "base/unique_name.h"
#include "program/language_choice.h"

namespace tvq {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
    const std::string text = "A é € \xF0\x9F\x96\xB1 z";  // 1-, 2-, 3- and 4-byte forms
    const std::u16string wide = utf16FromUtf8(text);
    EXPECT_EQ(wide, u"A é € \U0001F5B1 z");
    EXPECT_EQ(utf8FromUtf16(wide), text);
}

TEST(Utf, BrokenInputBecomesReplacementCharacters) {
    EXPECT_EQ(utf16FromUtf8("a\xFF"
                            "b"),
              u"a\uFFFDb");
    EXPECT_EQ(utf16FromUtf8("\xC3"), u"\uFFFD");              // cut short
    EXPECT_EQ(utf16FromUtf8("\xC0\xAF"), u"\uFFFD");          // overlong
    EXPECT_EQ(utf16FromUtf8("\xED\xA0\x80"), u"\uFFFD");      // an encoded surrogate
    EXPECT_EQ(utf16FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD");  // past U+10FFFF
    EXPECT_EQ(utf16FromUtf8("\xE2\x82"
                            "x"),
              u"\uFFFDx");                                  // the next character survives
    EXPECT_EQ(utf8FromUtf16(u"\xD800x"), "\xEF\xBF\xBDx");  // lone high surrogate
    EXPECT_EQ(utf8FromUtf16(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
}

TEST(LetterCase, ComparesLatinGreekAndCyrillicWithoutCase) {
    EXPECT_TRUE(equalIgnoringCase(u"Profile", u"PROFILE"));
    EXPECT_TRUE(equalIgnoringCase(u"Ärger Œuvre", u"äRGER œUVRE"));
    EXPECT_TRUE(equalIgnoringCase(u"ΣΟΦΊΑ", u"σοφία"));
    EXPECT_TRUE(equalIgnoringCase(u"Мышь", u"мЫШЬ"));
    EXPECT_TRUE(equalIgnoringCase(u"Łódź", u"łÓDŹ"));
    EXPECT_FALSE(equalIgnoringCase(u"a", u"ab"));
    EXPECT_FALSE(equalIgnoringCase(u"×", u"÷"));  // not letters
    EXPECT_TRUE(equalIgnoringCase(u"", u""));
    EXPECT_EQ(upperCased(u"éa\U0001F5B1ÿ"), u"ÉA\U0001F5B1Ÿ");
}

TEST(FixedFields, TextIsCutWithoutSplittingAPairAndAlwaysTerminated) {
    std::array<char16_t, 5> field{};
    field.fill(u'x');
    setFieldText(field, u"abc");
    EXPECT_EQ(fieldText(field), u"abc");
    EXPECT_EQ(field[3], u'\0');
    EXPECT_EQ(field[4], u'\0');
    setFieldText(field, u"abc\U0001F5B1");
    EXPECT_EQ(fieldText(field), u"abc");
    setFieldText(field, u"ab\U0001F5B1");
    EXPECT_EQ(fieldText(field), u"ab\U0001F5B1");

    field.fill(u'y');  // no terminator: the whole field is the text
    EXPECT_EQ(fieldText(field), u"yyyyy");
}

TEST(UniqueNames, SuffixesCountFromOneAndAlwaysFit) {
    std::vector<std::u16string> taken = {u"Profile1", u"profile1_1"};
    const auto isTaken = [&](std::u16string_view n) {
        for (const auto& t : taken) {
            if (equalIgnoringCase(t, n)) {
                return true;
            }
        }
        return false;
    };
    EXPECT_EQ(makeUniqueName(u"Profile1", 49, isTaken), u"Profile1_2");
    EXPECT_EQ(makeUniqueName(u"Other", 49, isTaken), u"Other");
    EXPECT_EQ(makeUniqueName(u"Profile1xyz", 8, isTaken), u"Profil_1");
    EXPECT_EQ(numberedName(u"Profile", 12, 49), u"Profile12");
    EXPECT_EQ(numberedName(u"Profile", 12, 5), u"Pro12");
}

}  // namespace
}  // namespace tvq

namespace tvq {
namespace {

TEST(LanguageChoice, TheUsersChoiceThenTheDesktopsLocaleElseEnglish) {
    const auto env = [](std::map<std::string, std::string> vars) -> Environment {
        return [vars](std::string_view name) -> std::optional<std::string> {
            const auto it = vars.find(std::string(name));
            return it == vars.end() ? std::nullopt : std::optional(it->second);
        };
    };
    using V = std::map<std::string, std::string>;
    const std::vector<std::pair<V, std::string>> cases = {
        {{}, ""},
        {{{"LANGUAGE", "de"}}, ""},  // no locale is "C"
        {{{"LANG", "de_DE.UTF-8"}}, "de"},
        {{{"LANG", "de_AT.UTF-8@euro"}}, "de"},
        {{{"LANG", "pt_BR.UTF-8"}}, "pt_BR"},
        {{{"LANG", "pt_PT.UTF-8"}}, ""},  // no European Portuguese: English
        {{{"LANG", "zh_CN.UTF-8"}}, "zh_CN"},
        {{{"LANG", "zh_TW.UTF-8"}}, ""},
        {{{"LANG", "ja_JP.UTF-8"}}, ""},
        {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "fr"}}, ""},  // "C" turns LANGUAGE off
        {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "pl_PL.UTF-8"}}, "pl"},
        {{{"LC_ALL", "it_IT.UTF-8"}, {"LC_MESSAGES", "pl_PL.UTF-8"}}, "it"},
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "ja:ru:de"}}, "ru"},
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "en_GB:de"}}, ""},
        {{{"LANG", "es_MX.UTF-8"}, {"LANGUAGE", ""}}, "es"},
    };
    for (const auto& [vars, expected] : cases) {
        std::string shown;
        for (const auto& [k, v] : vars) {
            shown += k + "=" + v + " ";
        }
        EXPECT_EQ(chooseLanguage(env(vars), ""), expected) << shown;
    }
    // The user's choice wins; one without a file is the desktop's.
    EXPECT_EQ(chooseLanguage(env({{"LANG", "de_DE.UTF-8"}}), "fr"), "fr");
    EXPECT_EQ(chooseLanguage(env({{"LANG", "de_DE.UTF-8"}}), "en"), "");
    EXPECT_EQ(chooseLanguage(env({{"LANG", "de_DE.UTF-8"}}), "xx"), "de");
}

}  // namespace
}  // namespace tvq
