// Qt key events as the sheet's key handlers expect them: a Windows-style
// virtual-key code with a shift byte for the key-down, and the 8-bit
// character that follows it.
#pragma once

#include <Qt>
#include <cstdint>
#include <optional>

class QKeyEvent;

// What the native codes of a key event are on the running platform.
enum class TNativeKeys {
    None,        // nothing usable: go by Qt's key alone
    WindowsVK,   // nativeVirtualKey() is the virtual-key code itself
    XkbKeycode,  // nativeScanCode() is an xkb keycode (evdev code + 8)
};

TNativeKeys NativeKeysOfPlatform();

// Shift byte of the key tables: 1 Shift, 2 Alt, 4 Ctrl.
uint8_t ShiftFromQt(Qt::KeyboardModifiers modifiers);

// Virtual-key code of a key-down; 0 for keys that have none. Digits and
// letters go by their key whatever the shift state (Shift+9 is 57), the
// punctuation keys by their character on the US layout (186..222).
uint16_t VirtualKeyFromQt(const QKeyEvent &e, TNativeKeys native = NativeKeysOfPlatform());

// The character event that follows the key-down, if any: Ctrl+letter gives
// 1..26, Enter 13 (10 with Ctrl), Esc 27, Backspace 8 (127 with Ctrl),
// printable characters themselves.
std::optional<uint8_t> CharFromQt(const QKeyEvent &e);
