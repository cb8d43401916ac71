#include <QGuiApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include "platform/KeyMap.h"

namespace {

constexpr Qt::KeyboardModifiers None = Qt::NoModifier, Shift = Qt::ShiftModifier, Ctrl = Qt::ControlModifier,
                                Alt = Qt::AltModifier, Pad = Qt::KeypadModifier;
constexpr TNativeKeys Plain = TNativeKeys::None, Xkb = TNativeKeys::XkbKeycode, Win = TNativeKeys::WindowsVK;

// A key event, and what it must give: a virtual key (VkCase) or a character (-1: none).
struct Ev {
    int key;
    Qt::KeyboardModifiers mods;
    const char *text;  // UTF-8
    int want;
    TNativeKeys native = Plain;
    quint32 scanCode = 0, nativeVK = 0;

    QKeyEvent Make() const
    {
        return QKeyEvent(QEvent::KeyPress, key, mods, scanCode, nativeVK, 0, QString::fromUtf8(text));
    }
};

// clang-format off
const Ev vkCases[] = {
    // Digits by their key: the shifted symbols of the US layout.
    {Qt::Key_9, Ctrl, "", 57}, {Qt::Key_ParenLeft, Shift, "(", 57}, {Qt::Key_ParenRight, Shift, ")", 48},
    {Qt::Key_AsciiCircum, Ctrl | Shift, "", 54},
    // Letters whatever the case; keys without a character.
    {Qt::Key_A, None, "a", 65}, {Qt::Key_Z, Shift, "Z", 90}, {Qt::Key_P, Ctrl, "\x10", 80},
    {Qt::Key_Enter, Pad, "\r", 13}, {Qt::Key_Space, None, " ", 32}, {Qt::Key_PageUp, None, "", 33},
    {Qt::Key_Delete, Ctrl, "\x7f", 46}, {Qt::Key_F12, Ctrl | Shift, "", 123}, {Qt::Key_Control, Ctrl, "", 17},
    // The punctuation keys of the US layout, plain and shifted.
    {Qt::Key_Semicolon, None, ";", 186}, {Qt::Key_Plus, Shift, "+", 187}, {Qt::Key_Less, Ctrl | Shift, "", 188},
    {Qt::Key_Minus, Ctrl, "", 189}, {Qt::Key_Period, Ctrl, "", 190}, {Qt::Key_Question, Shift, "?", 191},
    {Qt::Key_AsciiTilde, Shift, "~", 192}, {Qt::Key_BraceLeft, Ctrl | Shift, "", 219},
    {Qt::Key_Backslash, None, "\\", 220}, {Qt::Key_BracketRight, Ctrl, "", 221}, {Qt::Key_QuoteDbl, Shift, "\"", 222},
    // The number pad.
    {Qt::Key_5, Pad, "5", 101}, {Qt::Key_Asterisk, Pad, "*", 106}, {Qt::Key_Period, Pad, ".", 110},
    {Qt::Key_Home, Pad, "", 36},
    // Layout letter keys by their place (the German key right of P sits on the US ";"); nothing else to go by.
    {Qt::Key_Udiaeresis, None, "\xc3\xbc", 186}, {Qt::Key_unknown, None, "", 0},
    // xkb keycodes name the digit key even where Qt reports its symbol (Shift+8 is '(' on a German keyboard).
    {Qt::Key_ParenLeft, Shift, "(", 56, Xkb, 17}, {Qt::Key_Slash, Ctrl | Shift, "", 55, Xkb, 16},
    {Qt::Key_ParenRight, Shift, ")", 48, Xkb, 19},
    {Qt::Key_BracketLeft, Ctrl, "", 219, Xkb, 34}, {Qt::Key_5, Pad, "5", 101, Xkb, 84},
    // Windows hands the virtual-key code over directly.
    {Qt::Key_Udiaeresis, Ctrl, "", 186, Win, 26, 186}, {Qt::Key_9, Ctrl, "", 57, Win, 10, 0},
};

const Ev charCases[] = {
    {Qt::Key_A, Ctrl | Shift, "\x01", 1}, {Qt::Key_Z, Ctrl, "", 26}, {Qt::Key_M, Ctrl, "\r", 13},
    {Qt::Key_Return, Ctrl, "\r", 10}, {Qt::Key_Return, Shift, "\r", 13}, {Qt::Key_Escape, None, "\x1b", 27},
    {Qt::Key_A, Shift, "A", 'A'}, {Qt::Key_Space, Ctrl, "", ' '}, {Qt::Key_Udiaeresis, None, "\xc3\xbc", 252},
    {Qt::Key_BracketLeft, Ctrl | Alt, "[", '['},   // AltGr on Windows
    {Qt::Key_unknown, None, "\xe2\x82\xac", 128},  // the euro sign of the text code page
    {Qt::Key_Backspace, None, "\b", 8}, {Qt::Key_Backspace, Ctrl, "\x7f", 127},
    // No character.
    {Qt::Key_9, Ctrl, "9", -1}, {Qt::Key_BracketLeft, Ctrl, "\x1b", -1}, {Qt::Key_A, Alt, "a", -1},
    {Qt::Key_A, Ctrl | Alt, "\x01", -1}, {Qt::Key_Left, None, "", -1}, {Qt::Key_Tab, None, "\t", -1},
    {Qt::Key_Delete, None, "\x7f", -1}, {Qt::Key_A, None, "ab", -1},
};
// clang-format on

}  // namespace

TEST(KeyMap, VirtualKeys)
{
    for (const Ev &c : vkCases)
        EXPECT_EQ(VirtualKeyFromQt(c.Make(), c.native), c.want)
            << "Qt key 0x" << std::hex << c.key << std::dec << " scan " << c.scanCode;
}

TEST(KeyMap, CharacterEvents)
{
    for (const Ev &c : charCases) {
        const std::optional<uint8_t> ch = CharFromQt(c.Make());
        EXPECT_EQ(ch ? int(*ch) : -1, c.want) << "Qt key 0x" << std::hex << c.key << " mods 0x" << c.mods.toInt();
    }
}

TEST(KeyMap, ShiftByteAndPlatform)
{
    // clang-format off
    const std::pair<Qt::KeyboardModifiers, uint8_t> cases[] = {{None, 0}, {Shift, 1}, {Alt, 2}, {Ctrl, 4},
        {Ctrl | Alt | Shift, 7}, {Pad | Ctrl, 4}, {Qt::MetaModifier, 0}};
    // clang-format on
    for (const auto &[mods, shift] : cases)
        EXPECT_EQ(ShiftFromQt(mods), shift) << mods.toInt();
    // The offscreen platform has no native codes.
    const QString p = QGuiApplication::platformName();
    if (p == QLatin1String("offscreen") || p == QLatin1String("xcb"))
        EXPECT_EQ(NativeKeysOfPlatform(), p == QLatin1String("xcb") ? Xkb : Plain);
}
