#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Keyboard.h"

namespace {

struct KeyRow {
    char keyChar;
    int32_t vkey;
    TShiftState shift;
};

struct LayoutCase {
    void (TKeyboard::*load)();
    const char *name;
    const char *code;
    KeyRow keys[KeyDefCount];
};

const LayoutCase layouts[] = {
    {&TKeyboard::SetUSDefault, "US default", "US",
     {{'9', 57, 1}, {'9', 57, 4}, {'0', 48, 1}, {'0', 48, 4}, {'[', 219, 0}, {'[', 219, 4}, {']', 221, 0},
      {']', 221, 4}, {'[', 219, 1}, {'[', 219, 5}, {']', 221, 1}, {']', 221, 5}, {'6', 54, 4}, {'/', 191, 4}}},
    {&TKeyboard::SetGerman, "German", "DE",
     {{'8', 56, 1}, {'8', 56, 4}, {'9', 57, 1}, {'9', 57, 4}, {'[', 219, 0}, {'[', 219, 4}, {']', 221, 0},
      {']', 221, 4}, {'[', 219, 1}, {'[', 219, 5}, {']', 221, 1}, {']', 221, 5}, {'^', 220, 4}, {'/', 55, 4}}},
    {&TKeyboard::SetItalian, "Italian", "IT",
     {{'8', 56, 1}, {'8', 56, 4}, {'9', 57, 1}, {'9', 57, 4}, {'[', 219, 0}, {'[', 186, 4}, {']', 221, 0},
      {']', 187, 4}, {'[', 219, 1}, {'[', 186, 5}, {']', 221, 1}, {']', 187, 5}, {'^', 221, 4}, {'/', 55, 4}}},
    {&TKeyboard::SetBrazil, "BRAZIL", "PT",
     {{'9', 57, 1}, {'9', 57, 4}, {'0', 48, 1}, {'0', 48, 4}, {'[', 219, 0}, {'[', 221, 4}, {']', 221, 0},
      {']', 220, 4}, {'[', 219, 1}, {'[', 221, 5}, {']', 221, 1}, {']', 220, 5}, {'^', 222, 4}, {'/', 187, 4}}},
};

struct Recorder {
    std::vector<std::string> labels, names;
    void Attach(TKeyboard &kb)
    {
        kb.CodeLabel = [this](const std::string &s) { labels.push_back(s); };
        kb.OnLayoutName = [this](const std::string &s) { names.push_back(s); };
    }
};

}  // namespace

TEST(Keyboard, EachLayoutLoadsItsTableNameAndCode)
{
    for (const LayoutCase &lc : layouts) {
        SCOPED_TRACE(lc.name);
        TKeyboard kb;
        Recorder rec;
        rec.Attach(kb);
        // Load another layout first: every entry must be replaced or reset.
        kb.SetItalian();
        rec = {};
        rec.Attach(kb);
        (kb.*lc.load)();
        EXPECT_EQ(kb.LayoutName, lc.name);
        for (int i = 0; i < KeyDefCount; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(kb.Keys[i].KeyChar, lc.keys[i].keyChar);
            EXPECT_EQ(kb.Keys[i].VKey, lc.keys[i].vkey);
            EXPECT_EQ(kb.Keys[i].Shift, lc.keys[i].shift);
        }
        const bool us = std::string(lc.code) == "US";
        const std::vector<std::string> names =
            us ? std::vector<std::string>{"US default"} : std::vector<std::string>{"US default", lc.name};
        const std::vector<std::string> labels =
            us ? std::vector<std::string>{"US"} : std::vector<std::string>{"US", lc.code};
        EXPECT_EQ(rec.names, names);
        EXPECT_EQ(rec.labels, labels);
    }
}

TEST(Keyboard, HooksSeeTheNewNameBeforeTheKeysChange)
{
    TKeyboard kb;
    std::string seenName;
    int32_t seenFraction = -1;
    kb.OnLayoutName = [&](const std::string &) {
        seenName = kb.LayoutName;
        seenFraction = kb.Keys[kdFraction].VKey;
    };
    kb.SetUSDefault();
    EXPECT_EQ(seenName, "US default");
    EXPECT_EQ(seenFraction, 0);
    kb.SetGerman();
    EXPECT_EQ(seenName, "German");
    EXPECT_EQ(seenFraction, 191);  // the US table is in place, German not yet
    EXPECT_EQ(kb.Keys[kdFraction].VKey, 55);
}

TEST(Keyboard, LoadsWithoutHooks)
{
    TKeyboard kb;
    kb.SetBrazil();
    EXPECT_EQ(kb.LayoutName, "BRAZIL");
    EXPECT_EQ(kb.Keys[kdSuperscript].VKey, 222);
}

TEST(Keyboard, MatchNeedsTheExactShiftState)
{
    TKeyboard kb;
    kb.SetUSDefault();
    struct M {
        int entry;
        uint16_t key;
        TShiftState shift;
        bool match;
    };
    const M cases[] = {
        {kdTallParenOpen, 57, ssCtrl, true},
        {kdTallParenOpen, 57, ssCtrl | ssShift, false},  // Ctrl+Shift+9 is not the tall '('
        {kdTallParenOpen, 57, ssCtrl | ssAlt, false},
        {kdTallParenOpen, 56, ssCtrl, false},
        {kdBraceKey, 219, ssShift, true},
        {kdBrackKey, 219, 0, true},
        {kdBrackKey, 219, ssShift, false},
        {kdFraction, 191, ssCtrl, true},
    };
    for (const M &m : cases)
        EXPECT_EQ(kb.Keys[m.entry].Matches(m.key, m.shift), m.match) << m.entry << " " << m.key;

    // Ctrl+Shift+9 matches no entry at all.
    for (const TKeyDef &k : kb.Keys)
        EXPECT_FALSE(k.Matches(57, ssCtrl | ssShift));
}

TEST(Keyboard, EmptyTableMatchesNoKey)
{
    TKeyboard kb;
    for (const TKeyDef &k : kb.Keys)
        EXPECT_FALSE(k.Matches(0, 0));
}
