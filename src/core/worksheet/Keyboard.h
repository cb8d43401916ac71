// Keyboard layouts: which keys of a national keyboard write the tall
// brackets, start a fraction and switch superscript.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "Edit.h"

// One key of a layout: the character printed on it, its virtual-key code and
// the exact shift state (1 Shift, 4 Ctrl, 5 Shift+Ctrl) that selects it.
struct TKeyDef {
    char KeyChar = 0;
    int32_t VKey = 0;
    TShiftState Shift = 0;

    // An empty entry (no key loaded yet) matches nothing, not even key 0.
    bool Matches(uint16_t key, TShiftState shift) const { return VKey != 0 && key == VKey && shift == Shift; }
};

// Roles of the entries of TKeyboard::Keys.
enum : int {
    kdParenKey = 0,  // '(' key: also ends ESC mode
    kdTallParenOpen = 1,
    kdParenCloseKey = 2,
    kdTallParenClose = 3,
    kdBrackKey = 4,
    kdTallBrackOpen = 5,
    kdBrackCloseKey = 6,
    kdTallBrackClose = 7,
    kdBraceKey = 8,
    kdTallBraceOpen = 9,
    kdBraceCloseKey = 10,
    kdTallBraceClose = 11,
    kdSuperscript = 12,
    kdFraction = 13,
    KeyDefCount = 14,
};

class TKeyboard {
public:
    std::string LayoutName;  // "US default", "German", "Italian" or "BRAZIL"
    TKeyDef Keys[KeyDefCount];
    // Receives the layout's short code ("US", "DE", "IT", "PT"); the main
    // window shows it on its keyboard button.
    std::function<void(const std::string &code)> CodeLabel;
    // Receives the layout name whenever a layout is loaded.
    std::function<void(const std::string &name)> OnLayoutName;

    void SetUSDefault();
    void SetGerman();
    void SetItalian();
    void SetBrazil();

private:
    void Announce(const char *name, const char *code);
    void SetParensOn8And9();
    void Set(int entry, char keyChar, int32_t vkey, TShiftState shift);
};

extern TKeyboard KeyboardObj;
