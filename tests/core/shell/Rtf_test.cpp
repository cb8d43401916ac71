// The rich text of text boxes: what is written reads back, what others write
// is understood, and nothing read can break the reader.
#include <gtest/gtest.h>

#include <string>

#include "shell/Rtf.h"

namespace {

TRtfDocument Doc(std::vector<std::vector<TRtfRun>> paras)
{
    TRtfDocument d;
    for (auto &p : paras)
        d.Paragraphs.push_back({std::move(p)});
    return d;
}

// The text of every run, paragraphs separated by '|', runs by '+'.
std::string Texts(const TRtfDocument &d)
{
    std::string s;
    for (const TRtfParagraph &p : d.Paragraphs) {
        s += &p == &d.Paragraphs[0] ? "" : "|";
        for (const TRtfRun &r : p.Runs)
            s += (&r == &p.Runs[0] ? "" : "+") + r.Text;
    }
    return s;
}

TEST(Rtf, EveryAttributeRoundTrips)
{
    const TRtfRun bold{"bold ", "Courier New", 28, true}, italic{"italic", "Times New Roman", 17, false, true},
        under{" under", "Arial", 20, false, false, true}, red{"red", "Arial", 48, false, false, false, true, 0xFF0000},
        teal{"teal", "Arial", 48, true, false, false, true, 0x008080}, odd{"odd", "Odd;{name}\\ \xE2\x80\xA8", 20};
    const TRtfDocument doc =
        Doc({{bold, italic, under}, {}, {red, teal, {"plain", "", 20}, odd}, {{"last", "Arial", 20}}});
    const std::string rtf = WriteRtf(doc);
    EXPECT_TRUE(IsRtf(rtf));
    EXPECT_EQ(ReadRtf(rtf), doc);
    EXPECT_EQ(WriteRtf(ReadRtf(rtf)), rtf);
}

TEST(Rtf, WrittenBytes)
{
    const TRtfRun b{"a{b}\\c\td", "Arial", 20, true}, c{"e", "Arial", 20, false, false, false, true, 0x0000FF};
    EXPECT_EQ(WriteRtf(Doc({{b, c}, {{"f", "Arial", 20}}})),
              "{\\rtf1\\ansi\\ansicpg1252\\uc1{\\fonttbl{\\f0\\fnil Arial;}}{\\colortbl;\\red0\\green0\\blue255;}\n"
              "\\pard\\plain\\f0\\fs20\\b a\\{b\\}\\\\c\\tab d\\plain\\f0\\fs20\\cf1 e\\par\n"
              "\\pard\\plain\\f0\\fs20 f}");
    // Broken UTF-8 goes out as U+FFFD, one byte at a time.
    EXPECT_EQ(WriteRtf(Doc({{{"\x80\xE0\xA0\x80", "", 20}}})),
              "{\\rtf1\\ansi\\ansicpg1252\\uc1\n\\pard\\plain\\fs20 \\u-3?\\u2048?}");
}

TEST(Rtf, AccentedAndNonLatinText)
{
    const std::string text = "Grüße, “€” Ωμέγα Привет 数学 😀\xF4\x8F\xBF\xBD\xE2\x80\xA8next";
    const TRtfDocument doc = Doc({{{text, "Segoe UI", 20}}});
    const std::string rtf = WriteRtf(doc);
    EXPECT_EQ(rtf.find_first_not_of("\n\t !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
                                    "abcdefghijklmnopqrstuvwxyz{|}~"),
              std::string::npos);
    EXPECT_NE(rtf.find("Gr\\'fc\\'dfe, \\'93\\'80\\'94 \\u937?"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\u-10179?\\u-8704?\\u-9217?\\u-8195?\\line next"), std::string::npos) << rtf;
    EXPECT_EQ(ReadRtf(rtf), doc);
}

TEST(Rtf, EachColourTableReplacesTheOneBefore)
{
    // The first table's last entry has no ';'; a document pasted after another brings its own table.
    const TRtfRun a{"a", "", 24, false, false, false, true, 7}, b{"b", "", 24, false, false, false, true, 0x900};
    EXPECT_EQ(
        ReadRtf("{\\rtf1{\\colortbl;\\red255}{\\colortbl\\blue7;}\\cf0 a}{\\rtf1{\\colortbl;\\green9;}\\cf1 b\\cf2 c}"),
        Doc({{a, b, {"c", ""}}}));
}

TEST(Rtf, ForeignUnknownAndMalformedInput)
{
    const std::pair<std::string, const char *> cases[] = {
        {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}{\\f1\\fswiss{\\*\\panose 020b}Arial;}}\r\n"
         "{\\colortbl ;\\red255\\green0\\blue0;}\r\n{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
         "\\pard\\sa200\\f0\\fs22\\lang7 Caf\\'e9 \\b fett\\b0  \\cf1\\i rot\\cf0\\i0\\par\r\n"
         "\\f1\\fs32\\ul Zeile\\line zwei\\ulnone\\tab x\\~y\\emdash\\par\r\n}\r\n",
         "Café +fett+ +rot|Zeile\xE2\x80\xA8zwei+\tx\xC2\xA0y\xE2\x80\x94|"},  // as WordPad writes it
        {"{\\rtf1 a{\\stylesheet{\\s0 Normal;}}b{\\info{\\title T}{\\author X}}c}", "abc"},
        {"{\\rtf1 a\\frobnicate42 b\\zzz c}", "abc"},
        {"{\\rtf1 a{\\*\\unknown {nested} text}b}", "ab"},  // an optional destination we do not know, whole
        {"{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}", "link"},
        {"{\\rtf1 a{\\pict\\wmetafile8 0123abcd}b{\\*\\bin3 }x}z}", "abz"},
        {"{\\rtf1 \\uc2\\u8364\\'80\\'80 x\\uc0\\u8364 y}", "€ x€y"},
        {"{\\rtf1 {\\uc3\\u937 abc}d}", "Ωd"},
        {"{\\rtf1 a}}}}b{{", "ab"},
        {"{\\rtf1 x\\'4", "x"},
        {"{\\rtf1 x\\'zz y", "xzz y"},
        {"{\\rtf1 \\fs99999999999999999999999 \\f-99999999999999 \\cf12345678901234 big}", "big"},
        {"{\\rtf1 \\u99999999999999 \\u-99999999 \\u-10179 ab\\u-8704}", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
                                                                         "b\xEF\xBF\xBD"},
        {"{\\rtf1 \\u-32768 \\u65535 \\u-32769 \\u65536 }", "\xE8\x80\x80\xEF\xBF\xBF\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"{\\rtf1 \\bin99999999999 abc}", ""},
        {"{\\rtf1 {\\colortbl\\red9999;\\green-5}\\cf1 c\\cf2 d}", "cd"},
        {std::string("{\\rtf1 a\0b\xFF}", 12), "ab\xC3\xBF"},
        {std::string(100000, '{') + "deep", "deep"},
        {"plain text, not rtf", "plain text, not rtf"},
        {"{\\rtf1 \\u2048?\\u937\\tab a\\u-10179?\\par x}", "\xE0\xA0\x80Ωa\xEF\xBF\xBD|x"},
    };
    for (const auto &[in, text] : cases)
        EXPECT_EQ(Texts(ReadRtf(in)), text) << in.substr(0, 60);
    const TRtfRun big = ReadRtf("{\\rtf1 \\fs99999999999999999999999 \\cf7 x}").Paragraphs[0].Runs[0];
    EXPECT_EQ(std::pair(big.HalfPoints, big.HasColor), std::pair(3276, false));
    EXPECT_FALSE(IsRtf("{\\rt"));
    EXPECT_EQ(ReadRtf("{\\rtf1\\deff{\\fonttbl\\f0 A;\\f1 B;}{\\colortbl\\red1;}w\\plain x\\f1 z\\deff-1\\plain y}"),
              Doc({{{"w", ""}, {"x", "A"}, {"z", "B"}, {"y", ""}}}));
}

}  // namespace
