// The packed text tables as the program carries them: every language loads
// from the executable's resources and answers every text number.
#include "shell/text_table_win32.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/language_settings.h"
#include "shell/text_table.h"
#include "support/app_fixture.h"

namespace {

std::wstring text(std::uint32_t number)
{
    return GetText(number);
}

} // namespace

TEST(TextTables, EveryLanguageLoadsEveryText)
{
    const ScopedLanguage restore(English);
    for (std::uint8_t language : {Japanese, English, German, French}) {
        SCOPED_TRACE(static_cast<int>(language));
        ASSERT_TRUE(LoadStringTable(language));
        for (std::uint32_t number = FirstTextNumber; number <= LastTextNumber; ++number)
            EXPECT_FALSE(text(number).empty()) << number;
        EXPECT_TRUE(text(FirstTextNumber - 1).empty());
        EXPECT_TRUE(text(LastTextNumber + 1).empty());
    }
}

TEST(TextTables, EachLanguageShowsItsOwnTexts)
{
    const ScopedLanguage restore(English);
    struct Expected {
        std::uint8_t language;
        const wchar_t* general; // text 106
    };
    const Expected expected[] = {
        {English, L"General"}, {German, L"Allgemein"}, {French, L"Général"}, {Japanese, L"一般設定"}};
    for (const Expected& e : expected) {
        ASSERT_TRUE(LoadStringTable(e.language));
        EXPECT_EQ(std::wstring(e.general), text(106));
    }
}

TEST(TextTables, LanguageNamesAreTheSameInEveryLanguage)
{
    const ScopedLanguage restore(English);
    const wchar_t* const names[] = {L"日本語", L"English", L"Deutsch", L"Français"};
    for (std::uint8_t language = 0; language < LanguageCount; ++language) {
        ASSERT_TRUE(LoadStringTable(language));
        for (std::uint32_t number = 102; number <= 105; ++number)
            EXPECT_EQ(std::wstring(names[number - 102]), text(number)) << static_cast<int>(language);
    }
}

TEST(TextTables, ALanguageThatDoesNotExistLeavesEveryTextEmpty)
{
    const ScopedLanguage restore(English);
    ASSERT_TRUE(LoadStringTable(English));
    ASSERT_EQ(std::wstring(L"OK"), text(108));
    for (std::uint8_t language : {std::uint8_t(4), std::uint8_t(0xFF)}) {
        EXPECT_FALSE(LoadStringTable(language));
        for (std::uint32_t number = FirstTextNumber; number <= LastTextNumber; ++number)
            EXPECT_TRUE(text(number).empty()) << number;
    }
}
