// The rich text of text boxes: a reader and a writer for the part of RTF a
// text box uses (paragraphs of runs in a font, size, style and colour). The
// reader never fails: what it does not know it skips, broken input gives what
// could be read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TRtfRun {
    std::string Text;  // UTF-8; U+2028 breaks the line inside the paragraph, '\t' is a tab
    std::string Font;  // empty: no font of the font table
    int HalfPoints = 24;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool HasColor = false;  // false: the automatic colour
    uint32_t Color = 0;     // 0xRRGGBB

    bool SameFormat(const TRtfRun &o) const;
    bool operator==(const TRtfRun &) const = default;
};

struct TRtfParagraph {
    std::vector<TRtfRun> Runs;
    bool operator==(const TRtfParagraph &) const = default;
};

struct TRtfDocument {
    std::vector<TRtfParagraph> Paragraphs;
    bool operator==(const TRtfDocument &) const = default;
};

// The character of a Windows-1252 byte; its five holes keep their own code.
char32_t FromCp1252(unsigned char c);

// True when the bytes begin with "{\rtf".
bool IsRtf(std::string_view bytes);

TRtfDocument ReadRtf(std::string_view bytes);

// Plain ASCII RTF: text outside ASCII goes out as \'hh (Windows-1252) or \uN.
std::string WriteRtf(const TRtfDocument &doc);
