#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "worksheet/Keyboard.h"

namespace {

// Each layout's key table as "char vkey shift" entries, in TKeyDef order.
struct LayoutCase {
    void (TKeyboard::*load)();
    const char *name, *code, *keys;
};
// clang-format off
const LayoutCase layouts[] = {
    {&TKeyboard::SetUSDefault, "US default", "US",
     "9 57 1, 9 57 4, 0 48 1, 0 48 4, [ 219 0, [ 219 4, ] 221 0, ] 221 4, [ 219 1, [ 219 5, ] 221 1, ] 221 5, 6 54 4, / 191 4, "},
    {&TKeyboard::SetGerman, "German", "DE",
     "8 56 1, 8 56 4, 9 57 1, 9 57 4, [ 219 0, [ 219 4, ] 221 0, ] 221 4, [ 219 1, [ 219 5, ] 221 1, ] 221 5, ^ 220 4, / 55 4, "},
    {&TKeyboard::SetItalian, "Italian", "IT",
     "8 56 1, 8 56 4, 9 57 1, 9 57 4, [ 219 0, [ 186 4, ] 221 0, ] 187 4, [ 219 1, [ 186 5, ] 221 1, ] 187 5, ^ 221 4, / 55 4, "},
    {&TKeyboard::SetBrazil, "BRAZIL", "PT",
     "9 57 1, 9 57 4, 0 48 1, 0 48 4, [ 219 0, [ 221 4, ] 221 0, ] 220 4, [ 219 1, [ 221 5, ] 221 1, ] 220 5, ^ 222 4, / 187 4, "},
};
// clang-format on

std::string Table(const TKeyDef (&keys)[KeyDefCount])
{
    std::string out;
    for (const TKeyDef &k : keys)
        out += std::string(1, k.KeyChar) + " " + std::to_string(k.VKey) + " " + std::to_string(k.Shift) + ", ";
    return out;
}

}  // namespace

TEST(Keyboard, EachLayoutLoadsItsTableNameAndCode)
{
    for (const LayoutCase &lc : layouts) {
        SCOPED_TRACE(lc.name);
        TKeyboard kb;
        kb.SetItalian();  // another layout first: every entry must be replaced or reset
        std::vector<std::string> labels, names;
        kb.CodeLabel = [&](const std::string &s) { labels.push_back(s); };
        kb.OnLayoutName = [&](const std::string &s) { names.push_back(s); };
        (kb.*lc.load)();
        EXPECT_EQ(kb.LayoutName, lc.name);
        EXPECT_EQ(Table(kb.Keys), lc.keys);
        // The other layouts start from the US one, and say so.
        using V = std::vector<std::string>;
        const bool us = std::string(lc.code) == "US";
        EXPECT_EQ(names, us ? V{"US default"} : (V{"US default", lc.name}));
        EXPECT_EQ(labels, us ? V{"US"} : (V{"US", lc.code}));
    }
}

TEST(Keyboard, HooksSeeTheNewNameBeforeTheKeysChange)
{
    TKeyboard kb;
    kb.SetBrazil();  // without hooks
    EXPECT_EQ(kb.LayoutName + " " + std::to_string(kb.Keys[kdSuperscript].VKey), "BRAZIL 222");
    TKeyboard fresh;
    std::string seenName;
    int32_t seenFraction = -1;
    fresh.OnLayoutName = [&](const std::string &) {
        seenName = fresh.LayoutName;
        seenFraction = fresh.Keys[kdFraction].VKey;
    };
    fresh.SetUSDefault();
    EXPECT_EQ(seenName + " " + std::to_string(seenFraction), "US default 0");
    fresh.SetGerman();
    EXPECT_EQ(seenName + " " + std::to_string(seenFraction), "German 191");  // the US table is in place, German not yet
    EXPECT_EQ(fresh.Keys[kdFraction].VKey, 55);
}

TEST(Keyboard, MatchNeedsTheExactShiftState)
{
    TKeyboard kb;
    for (const TKeyDef &k : kb.Keys)  // an empty table matches no key, not even 0
        EXPECT_FALSE(k.Matches(0, 0));
    kb.SetUSDefault();
    struct M {
        int entry;
        uint16_t key;
        TShiftState shift;
        bool match;
    };
    const M cases[] = {{kdTallParenOpen, 57, ssCtrl, true},
                       {kdTallParenOpen, 57, ssCtrl | ssShift, false},
                       {kdTallParenOpen, 57, ssCtrl | ssAlt, false},
                       {kdTallParenOpen, 56, ssCtrl, false},
                       {kdBraceKey, 219, ssShift, true},
                       {kdBrackKey, 219, 0, true},
                       {kdBrackKey, 219, ssShift, false},
                       {kdFraction, 191, ssCtrl, true}};
    for (const M &m : cases)
        EXPECT_EQ(kb.Keys[m.entry].Matches(m.key, m.shift), m.match) << m.entry << " " << m.key;
    for (const TKeyDef &k : kb.Keys)  // Ctrl+Shift+9 is no entry at all
        EXPECT_FALSE(k.Matches(57, ssCtrl | ssShift));
}
