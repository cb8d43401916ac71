#include <QGuiApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include "platform/KeyMap.h"

namespace {

constexpr Qt::KeyboardModifiers None = Qt::NoModifier, Shift = Qt::ShiftModifier, Ctrl = Qt::ControlModifier,
                                Alt = Qt::AltModifier, Pad = Qt::KeypadModifier;
constexpr TNativeKeys Plain = TNativeKeys::None, Xkb = TNativeKeys::XkbKeycode, Win = TNativeKeys::WindowsVK;

// A key event, and what it must give: a virtual key or a character (-1: none).
struct Ev {
    int key;
    Qt::KeyboardModifiers mods;
    const char *text;  // UTF-8
    int want;
    TNativeKeys native = Plain;
    quint32 scanCode = 0, nativeVK = 0;
    QKeyEvent Make() const { return {QEvent::KeyPress, key, mods, scanCode, nativeVK, 0, QString::fromUtf8(text)}; }
};

// clang-format off
const Ev vkCases[] = {
    // Digits, also by their shifted symbol on the US layout; letters whatever the case; named and function keys.
    {Qt::Key_9, Ctrl, "", 57}, {Qt::Key_ParenRight, Shift, ")", 48}, {Qt::Key_A, None, "a", 65},
    {Qt::Key_Space, None, " ", 32}, {Qt::Key_PageUp, None, "", 33}, {Qt::Key_Enter, Pad, "\r", 13},
    {Qt::Key_F12, Ctrl | Shift, "", 123}, {Qt::Key_Semicolon, None, ";", 186}, {Qt::Key_QuoteDbl, Shift, "\"", 222},
    {Qt::Key_5, Pad, "5", 101}, {Qt::Key_Asterisk, Pad, "*", 106}, {Qt::Key_unknown, None, "", 0},
    {Qt::Key_Udiaeresis, None, "\xc3\xbc", 186},  // a layout letter key by its place: right of P, the US ";"
    {Qt::Key_ParenLeft, Shift, "(", 56, Xkb, 17}, {Qt::Key_ParenRight, Shift, ")", 48, Xkb, 19},  // xkb: the digit key
    {Qt::Key_BracketLeft, Ctrl, "", 219, Xkb, 34}, {Qt::Key_5, Pad, "5", 101, Xkb, 84},
    {Qt::Key_Udiaeresis, Ctrl, "", 186, Win, 26, 186}, {Qt::Key_9, Ctrl, "", 57, Win, 10, 0},  // Windows' own codes
};

const Ev charCases[] = {
    {Qt::Key_A, Ctrl | Shift, "\x01", 1}, {Qt::Key_Return, Ctrl, "\r", 10}, {Qt::Key_Return, Shift, "\r", 13},
    {Qt::Key_Escape, None, "\x1b", 27}, {Qt::Key_A, Shift, "A", 'A'}, {Qt::Key_Space, Ctrl, "", ' '},
    {Qt::Key_Udiaeresis, None, "\xc3\xbc", 252}, {Qt::Key_BracketLeft, Ctrl | Alt, "[", '['},  // AltGr on Windows
    {Qt::Key_unknown, None, "\xe2\x82\xac", 128},  // the euro sign of the text code page
    {Qt::Key_Backspace, None, "\b", 8}, {Qt::Key_Backspace, Ctrl, "\x7f", 127},
    {Qt::Key_9, Ctrl, "9", -1}, {Qt::Key_A, Alt, "a", -1}, {Qt::Key_A, Ctrl | Alt, "\x01", -1}, {Qt::Key_Left, None, "", -1},
};
// clang-format on

}  // namespace

TEST(KeyMap, VirtualKeysCharactersAndShiftState)
{
    for (const Ev &c : vkCases)
        EXPECT_EQ(VirtualKeyFromQt(c.Make(), c.native), c.want) << "Qt key 0x" << std::hex << c.key << c.scanCode;
    for (const Ev &c : charCases) {
        const std::optional<uint8_t> ch = CharFromQt(c.Make());
        EXPECT_EQ(ch ? int(*ch) : -1, c.want) << "Qt key 0x" << std::hex << c.key << " mods 0x" << c.mods.toInt();
    }
    EXPECT_EQ(std::tuple(ShiftFromQt(Shift), ShiftFromQt(Alt), ShiftFromQt(Ctrl | Pad | Qt::MetaModifier)),
              std::tuple(1, 2, 4));
    EXPECT_TRUE(QGuiApplication::platformName() != QLatin1String("offscreen") || NativeKeysOfPlatform() == Plain);
}
