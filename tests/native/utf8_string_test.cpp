// Utf8String keeps paths as UTF-8, counts characters, and converts to and
// from UTF-16 by its own rules.
#include "foundation/utf8_string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

Utf16String units(std::initializer_list<char16_t> list)
{
    return Utf16String(list.begin(), list.end());
}

std::string bytesOf(const Utf8String& s)
{
    return std::string(s.Data(), s.ByteLength());
}

Utf16String toUtf16(const std::string& bytes)
{
    Utf16String out;
    Utf8String(bytes.data(), static_cast<std::uint32_t>(bytes.size())).ToUtf16(out);
    return out;
}

} // namespace

TEST(Utf8String, EmptyStringIsInlineWithATerminator)
{
    Utf8String empty;
    EXPECT_EQ(0u, empty.Length());
    EXPECT_EQ(0u, empty.ByteLength());
    EXPECT_TRUE(empty.IsInline());
    EXPECT_EQ(64u, empty.Capacity());
    EXPECT_STREQ("", empty.Data());
}

TEST(Utf8String, SixtyThreeBytesStayInlineAndOneMoreMovesToA96ByteBlock)
{
    Utf8String text(std::string(63, 'x').c_str());
    EXPECT_TRUE(text.IsInline());
    text.Append('y');
    EXPECT_FALSE(text.IsInline());
    EXPECT_EQ(96u, text.Capacity());
    EXPECT_EQ(64u, text.ByteLength());
    EXPECT_EQ(std::string(63, 'x') + "y", bytesOf(text));
}

TEST(Utf8String, CountsCharactersNotBytes)
{
    const Utf8String path("C:\\\xC3\xBC");
    EXPECT_EQ(4u, path.Length());
    EXPECT_EQ(5u, path.ByteLength());
    // A lead byte whose sequence runs past the end counts once.
    EXPECT_EQ(2u, Utf8String("a\xE2\x82").Length());
}

TEST(Utf8String, Utf16ToUtf8FollowsTheLibraryRules)
{
    struct Case {
        const char* name;
        Utf16String input;
        std::string expected;
    };
    const Case cases[] = {
        {"ascii", units({u'A', u'b'}), "Ab"},
        {"two bytes", units({0x00FC}), "\xC3\xBC"},
        {"three bytes", units({0x65E5}), "\xE6\x97\xA5"},
        {"surrogate pair", units({0xD83D, 0xDE00}), "\xF0\x9F\x98\x80"},
        {"high surrogate takes the next unit with it", units({u'A', 0xD800, u'B'}), "A"},
        {"lone low surrogate is kept as a code point", units({0xDC00}), "\xED\xB0\x80"},
        {"high surrogate before the terminator is dropped", units({u'A', 0xD800}), "A"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, bytesOf(Utf8String(c.input))) << c.name;
}

TEST(Utf8String, Utf8ToUtf16FollowsTheLibraryRules)
{
    struct Case {
        const char* name;
        std::string input;
        Utf16String expected;
    };
    const Case cases[] = {
        {"stray continuation byte becomes a star",
         "A\x80"
         "B",
         units({u'A', u'*', u'B'})},
        {"four-byte sequence becomes a pair", "\xF0\x9F\x98\x80", units({0xD83D, 0xDE00})},
        {"encoded surrogate is dropped",
         "a\xED\xA0\x80"
         "b",
         units({u'a', u'b'})},
        {"value past U+10FFFF is dropped",
         "a\xF4\x90\x80\x80"
         "b",
         units({u'a', u'b'})},
        {"0xFE and 0xFF become stars", "\xFE\xFF", units({u'*', u'*'})},
        {"overlong zero becomes a star", "\xC0\x80", units({u'*'})},
        {"sequence cut short by the end", "ab\xE6\x97", units({u'a', u'b', u'*'})},
        {"five-byte form decodes then drops", "x\xF8\x88\x80\x80\x80", units({u'x'})},
        {"an embedded zero byte ends the text", std::string("ab\0cd", 5), units({u'a', u'b'})},
        {"a sequence cut short by an embedded zero", std::string("a\xC3\0b", 4), units({u'a', u'*'})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, toUtf16(c.input)) << c.name;
}

TEST(Utf8String, RoundTripKeepsSupplementaryCharacters)
{
    const Utf16String original = units({u'C', u':', u'\\', 0x65E5, 0xD83D, 0xDE00, u'!'});
    Utf16String back;
    Utf8String(original).ToUtf16(back);
    EXPECT_EQ(original, back);
}

TEST(Utf8String, SubstringAndEraseWorkInCharacters)
{
    const Utf8String text("a\xC3\xBC"
                          "b\xE6\x97\xA5"
                          "c"); // a ü b 日 c
    EXPECT_EQ("\xC3\xBC"
              "b",
              bytesOf(text.Substring(1, 2)));
    EXPECT_EQ("", bytesOf(text.Substring(2, 0)));
    EXPECT_EQ(bytesOf(text), bytesOf(text.Substring(0, Utf8String::npos)));
    EXPECT_EQ("", bytesOf(text.Substring(5)));
    EXPECT_EQ("", bytesOf(text.Substring(99, 3))) << "an index past the end gives an empty string";
    EXPECT_EQ("\xE6\x97\xA5"
              "c",
              bytesOf(text.Substring(3, 99)));

    Utf8String erased(text);
    erased.Erase(1, 2);
    EXPECT_EQ("a\xE6\x97\xA5"
              "c",
              bytesOf(erased));
    EXPECT_EQ(3u, erased.Length());
    erased.Erase(1, 1000);
    EXPECT_EQ("a", bytesOf(erased)) << "a count past the end erases to the end";
    erased.Erase(5, 1);
    EXPECT_EQ("a", bytesOf(erased)) << "an index past the end changes nothing";
}

TEST(Utf8String, AppendingAStringToItselfDoublesIt)
{
    Utf8String text(std::string(40, 'z').c_str());
    text.Append(text);
    EXPECT_EQ(std::string(80, 'z'), bytesOf(text));
    EXPECT_EQ(80u, text.Length());
}

TEST(Utf8String, CopiesAndMovesOwnTheirBytes)
{
    Utf8String longText(std::string(100, 'q').c_str());
    Utf8String copy(longText);
    longText.Clear();
    EXPECT_EQ(std::string(100, 'q'), bytesOf(copy));

    Utf8String moved(std::move(copy));
    EXPECT_EQ(100u, moved.ByteLength());
    Utf8String assigned("short");
    assigned = moved;
    const Utf8String& self = assigned;
    assigned = self;
    EXPECT_EQ(moved, assigned);
    Utf8String inlineSource("tiny");
    assigned = std::move(inlineSource);
    EXPECT_EQ("tiny", bytesOf(assigned));
}

TEST(Utf8String, FindLastOfSearchesWholeCharactersBackward)
{
    const Utf8String separators("/\\");
    const Utf8String path("a/b\\c.txt");
    EXPECT_EQ(3u, path.FindLastOf(separators));
    EXPECT_EQ(1u, path.FindLastOf(separators, 2));
    EXPECT_EQ(Utf8String::npos, path.FindLastOf(separators, 0));
    EXPECT_EQ(3u, path.FindLastOf(separators, 1000)) << "a large start is lowered to the last character";
    EXPECT_EQ(Utf8String::npos, Utf8String().FindLastOf(separators));
    EXPECT_EQ(Utf8String::npos, path.FindLastOf(Utf8String()));

    const Utf8String mixed("\xC3\xBC/\xE6\x97\xA5\xC3\xBC"); // ü / 日 ü
    EXPECT_EQ(3u, mixed.FindLastOf(Utf8String("\xC3\xBC")));
    EXPECT_EQ(0u, mixed.FindLastOf(Utf8String("\xC3\xBC"), 2));
}

TEST(PathHelpers, FileNameAndTrailingSeparator)
{
    struct Case {
        const char* path;
        const char* fileName;
        const char* withoutTrailing;
    };
    const Case cases[] = {
        {"a/b\\c.txt", "c.txt", "a/b\\c.txt"},
        {"plain", "plain", "plain"},
        {"C:\\dir\\", "", "C:\\dir"},
        {"C:\\dir\\\\", "", "C:\\dir\\"},
        {"", "", ""},
        {"/", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.fileName, bytesOf(FileNameOf(Utf8String(c.path)))) << c.path;
        Utf8String path(c.path);
        RemoveTrailingSeparator(path);
        EXPECT_EQ(c.withoutTrailing, bytesOf(path)) << c.path;
    }
}

TEST(Utf8String, BlocksAreChargedToTheStringCategory)
{
    const std::uint32_t before = Qorm::Memory::usage(Qorm::Memory::Utf8StringCategory);
    {
        Utf8String text(std::string(200, 'm').c_str());
        EXPECT_EQ(before + 224, Qorm::Memory::usage(Qorm::Memory::Utf8StringCategory));
    }
    EXPECT_EQ(before, Qorm::Memory::usage(Qorm::Memory::Utf8StringCategory));
}
