#include "foundation/name_pattern.h"

#include <gtest/gtest.h>

TEST(NamePattern, MatchesAsTheDirectorySearchDoes)
{
    const struct {
        const char16_t* name;
        const char16_t* pattern;
        bool matches;
    } cases[] = {
        {u"save.dat", u"*", true},
        {u"save.dat", u"*.dat", true},
        {u"save.dat", u"*.da", false},
        {u"save.dat", u"s?ve.*", true},
        {u"save.dat", u"save.dat", true},
        {u"save.dat", u"save.da?", true},
        {u"save.dat", u"save.dat?", false},
        {u"save", u"*.*", true},
        {u"save", u"save.*", true},
        {u"save", u"sav.*", false},
        {u"a.b.c", u"*.c", true},
        {u"a.b.c", u"a*b*c", true},
        {u"abcabd", u"*abd", true},
        {u"abcabc", u"*abd", false},
        {u"", u"*", true},
        {u"", u"?", false},
        {u"x", u"", false},
        {u"\u65e5\u672c.txt", u"?\u672c.*", true},
        {u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", u"*a*a*a*a*a*a*a*a*c", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.matches, Qorm::File::matchesNamePattern(c.name, c.pattern))
            << "pattern index " << (&c - cases);
}
