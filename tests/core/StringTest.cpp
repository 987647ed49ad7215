#include "core/String.h"

#include <gtest/gtest.h>

TEST(String, EmptyStringsWithAndWithoutBufferAreEqual)
{
    const String null(static_cast<const char*>(nullptr));
    const String copied(String(""));
    EXPECT_EQ(null.GetLength(), 0u);
    EXPECT_EQ(copied.GetLength(), 0u);
    EXPECT_STREQ(null.GetText(), "");
    EXPECT_STREQ(copied.GetText(), "");
    EXPECT_TRUE(null == copied);
    EXPECT_EQ(String("abc", 0).GetLength(), 0u);
    EXPECT_EQ(String().Format(nullptr).GetLength(), 0u);
    EXPECT_EQ(String("x").Format("%s", "").GetLength(), 0u);
}

TEST(String, CompareIsUnsignedBytewiseThenByLength)
{
    EXPECT_EQ(String("abc").Compare("abd"), -1);
    EXPECT_EQ(String("abd").Compare("abc"), 1);
    EXPECT_EQ(String("abc").Compare("ab"), 1);
    EXPECT_EQ(String("ab").Compare("abc"), -1);
    EXPECT_EQ(String("abcdefgh").Compare("abcdefgh"), 0);
    EXPECT_EQ(String("\xC3").Compare("z"), 1);
    EXPECT_TRUE(String("a") != String("b"));
    // Embedded zero bytes take part in the comparison.
    EXPECT_EQ(String("a\0b", 3).Compare(String("a\0c", 3)), -1);
}

TEST(String, FindHonoursWindowAndRefusesEmptyNeedles)
{
    const String s("abcabc");
    EXPECT_EQ(s.Find("bc"), 1);
    EXPECT_EQ(s.Find("bc", 2), 4);
    EXPECT_EQ(s.Find("bc", 2, 2), -1); // window "ca" too short for a match
    EXPECT_EQ(s.Find("bc", 2, 3), -1); // "cab": the match at 4 would end outside
    EXPECT_EQ(s.Find("bc", 2, 4), 4);
    EXPECT_EQ(s.Find(""), -1);
    EXPECT_EQ(s.Find("abcabcx"), -1);
    EXPECT_EQ(s.Find("c", 100), -1);
    EXPECT_EQ(s.Find("c", 0, 0xFFFFFFFFu), 2);
    EXPECT_EQ(s.Find("aab"), -1);
}

TEST(String, EndsWith)
{
    EXPECT_TRUE(String("grad.png").EndsWith(".png"));
    EXPECT_FALSE(String("grad.PNG").EndsWith(".png"));
    EXPECT_FALSE(String("png").EndsWith(".png"));
    EXPECT_TRUE(String("png").EndsWith(""));
    EXPECT_TRUE(String().EndsWith(""));
}

TEST(String, InsertAndEraseClampPositions)
{
    EXPECT_STREQ(String("ab").Insert(100, "x").GetText(), "abx");
    EXPECT_STREQ(String("ab").Insert(0, "x").GetText(), "xab");
    EXPECT_STREQ(String("ab").Insert(1, "xy").GetText(), "axyb");
    EXPECT_STREQ(String("abcd").Erase(10, 5).GetText(), "abcd");
    EXPECT_STREQ(String("abcd").Erase(2, 100).GetText(), "ab");
    EXPECT_STREQ(String("abcd").Erase(1, 2).GetText(), "ad");
    EXPECT_STREQ(String("abcd").Erase(1, 0xFFFFFFFFu).GetText(), "a");
    EXPECT_STREQ((String("ab") + String("cd")).GetText(), "abcd");
    String self("ab");
    self.Append(self);
    EXPECT_STREQ(self.GetText(), "abab");
}

TEST(String, SubStringClampsBothEnds)
{
    const String s("hello");
    EXPECT_STREQ(s.SubString(1, 3).GetText(), "ell");
    EXPECT_STREQ(s.SubString(3, 100).GetText(), "lo");
    EXPECT_STREQ(s.SubString(2).GetText(), "llo");
    EXPECT_STREQ(s.SubString(9).GetText(), "");
    EXPECT_STREQ(s.SubString(0xFFFFFFF0u, 0x20).GetText(), "");
}

TEST(String, GetTokenCutsAtEveryDelimiter)
{
    EXPECT_STREQ(String("1024x768").GetToken("x", 0).GetText(), "1024");
    EXPECT_STREQ(String("1024x768").GetToken("x", 1).GetText(), "768");
    EXPECT_STREQ(String("800").GetToken("x", 0).GetText(), "800");
    EXPECT_STREQ(String("800").GetToken("x", 1).GetText(), "");
    const String list("a,b,c");
    EXPECT_STREQ(list.GetToken(",", 1).GetText(), "b");
    EXPECT_STREQ(list.GetToken(",", 2).GetText(), "c");
    EXPECT_STREQ(list.GetToken(",", 3).GetText(), "");
    EXPECT_STREQ(String("a,,b").GetToken(",", 1).GetText(), "");
    EXPECT_STREQ(String("a::b::c").GetToken("::", 2).GetText(), "c");
}

TEST(String, FormatToLowerAndByteAccess)
{
    String s;
    s.Format("Screenshot00%d.png", 7);
    EXPECT_STREQ(s.GetText(), "Screenshot007.png");
    s.Format("Real: %.32f", 0.5);
    EXPECT_EQ(s.GetLength(), 6u + 2u + 32u);
    String upper("TRUE \xC4Z");
    upper.ToLower();
    EXPECT_STREQ(upper.GetText(), "true \xC4z");
    EXPECT_EQ(String("ab").GetAt(1), 'b');
    EXPECT_EQ(String("ab").GetAt(2), 0);
    EXPECT_EQ(String().GetAt(0), 0);
}

TEST(String, FormatMayReadItsOwnText)
{
    // Appending one character by formatting the string's own text.
    String s("a text longer than sixteen bytes");
    s.Format("%s%c", s.GetText(), '!');
    EXPECT_STREQ(s.GetText(), "a text longer than sixteen bytes!");
    String f("%d-%d");
    f.Format(f.GetText(), 1, 2);
    EXPECT_STREQ(f.GetText(), "1-2");
}

TEST(String, CopiesAreDeep)
{
    String a("abc");
    String b(a);
    String c;
    c = a;
    a.ToLower().Append("d");
    EXPECT_STREQ(b.GetText(), "abc");
    EXPECT_STREQ(c.GetText(), "abc");
    c = c;
    EXPECT_STREQ(c.GetText(), "abc");
    EXPECT_NE(b.GetText(), c.GetText());
}
