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
        std::string table;
        for (const TKeyDef &k : kb.Keys)
            table += std::string(1, k.KeyChar) + " " + std::to_string(k.VKey) + " " + std::to_string(k.Shift) + ", ";
        EXPECT_EQ(table, lc.keys);
        // The other layouts start from the US one, and say so.
        using V = std::vector<std::string>;
        const bool us = std::string(lc.code) == "US";
        EXPECT_EQ(names, us ? V{"US default"} : (V{"US default", lc.name}));
        EXPECT_EQ(labels, us ? V{"US"} : (V{"US", lc.code}));
    }
}
