#include <QGuiApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include "KeyMap.h"

namespace {

constexpr Qt::KeyboardModifiers None = Qt::NoModifier;
constexpr Qt::KeyboardModifiers Shift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers Alt = Qt::AltModifier;
constexpr Qt::KeyboardModifiers Pad = Qt::KeypadModifier;

struct Ev {
    int key;
    Qt::KeyboardModifiers mods;
    const char *text;  // UTF-8
    quint32 scanCode = 0;
    quint32 nativeVK = 0;

    QKeyEvent Make() const
    {
        return QKeyEvent(QEvent::KeyPress, key, mods, scanCode, nativeVK, 0, QString::fromUtf8(text));
    }
};

struct VkCase {
    Ev ev;
    TNativeKeys native;
    uint16_t vk;
};

const TNativeKeys Plain = TNativeKeys::None;
const TNativeKeys Xkb = TNativeKeys::XkbKeycode;
const TNativeKeys Win = TNativeKeys::WindowsVK;

const VkCase vkCases[] = {
    // Digits by their key: the shifted symbols of the US layout.
    {{Qt::Key_9, Ctrl, ""}, Plain, 57},
    {{Qt::Key_ParenLeft, Shift, "("}, Plain, 57},
    {{Qt::Key_ParenLeft, Ctrl | Shift, ""}, Plain, 57},
    {{Qt::Key_ParenRight, Shift, ")"}, Plain, 48},
    {{Qt::Key_Exclam, Shift, "!"}, Plain, 49},
    {{Qt::Key_At, Shift, "@"}, Plain, 50},
    {{Qt::Key_NumberSign, Shift, "#"}, Plain, 51},
    {{Qt::Key_Dollar, Shift, "$"}, Plain, 52},
    {{Qt::Key_Percent, Shift, "%"}, Plain, 53},
    {{Qt::Key_AsciiCircum, Ctrl | Shift, ""}, Plain, 54},
    {{Qt::Key_Ampersand, Shift, "&"}, Plain, 55},
    {{Qt::Key_Asterisk, Shift, "*"}, Plain, 56},
    {{Qt::Key_0, None, "0"}, Plain, 48},
    // Letters whatever the case.
    {{Qt::Key_A, None, "a"}, Plain, 65},
    {{Qt::Key_Z, Shift, "Z"}, Plain, 90},
    {{Qt::Key_P, Ctrl, "\x10"}, Plain, 80},
    // Keys without a character.
    {{Qt::Key_Backspace, None, "\b"}, Plain, 8},
    {{Qt::Key_Tab, None, "\t"}, Plain, 9},
    {{Qt::Key_Return, Ctrl, "\r"}, Plain, 13},
    {{Qt::Key_Enter, Pad, "\r"}, Plain, 13},
    {{Qt::Key_Escape, None, "\x1b"}, Plain, 27},
    {{Qt::Key_Space, None, " "}, Plain, 32},
    {{Qt::Key_PageUp, None, ""}, Plain, 33},
    {{Qt::Key_PageDown, None, ""}, Plain, 34},
    {{Qt::Key_End, None, ""}, Plain, 35},
    {{Qt::Key_Home, None, ""}, Plain, 36},
    {{Qt::Key_Left, None, ""}, Plain, 37},
    {{Qt::Key_Up, None, ""}, Plain, 38},
    {{Qt::Key_Right, None, ""}, Plain, 39},
    {{Qt::Key_Down, Shift, ""}, Plain, 40},
    {{Qt::Key_Insert, Shift, ""}, Plain, 45},
    {{Qt::Key_Delete, Ctrl, "\x7f"}, Plain, 46},
    {{Qt::Key_F1, None, ""}, Plain, 112},
    {{Qt::Key_F5, None, ""}, Plain, 116},
    {{Qt::Key_F9, Ctrl, ""}, Plain, 120},
    {{Qt::Key_F12, Ctrl | Shift, ""}, Plain, 123},
    {{Qt::Key_Shift, Shift, ""}, Plain, 16},
    {{Qt::Key_Control, Ctrl, ""}, Plain, 17},
    {{Qt::Key_Alt, Alt, ""}, Plain, 18},
    // The punctuation keys of the US layout, plain and shifted.
    {{Qt::Key_Semicolon, None, ";"}, Plain, 186},
    {{Qt::Key_Colon, Shift, ":"}, Plain, 186},
    {{Qt::Key_Equal, None, "="}, Plain, 187},
    {{Qt::Key_Plus, Shift, "+"}, Plain, 187},
    {{Qt::Key_Comma, Ctrl, ""}, Plain, 188},
    {{Qt::Key_Less, Ctrl | Shift, ""}, Plain, 188},
    {{Qt::Key_Minus, Ctrl, ""}, Plain, 189},
    {{Qt::Key_Underscore, Shift, "_"}, Plain, 189},
    {{Qt::Key_Period, Ctrl, ""}, Plain, 190},
    {{Qt::Key_Greater, Shift, ">"}, Plain, 190},
    {{Qt::Key_Slash, Ctrl, ""}, Plain, 191},
    {{Qt::Key_Question, Shift, "?"}, Plain, 191},
    {{Qt::Key_QuoteLeft, None, "`"}, Plain, 192},
    {{Qt::Key_AsciiTilde, Shift, "~"}, Plain, 192},
    {{Qt::Key_BracketLeft, Ctrl, ""}, Plain, 219},
    {{Qt::Key_BraceLeft, Ctrl | Shift, ""}, Plain, 219},
    {{Qt::Key_Backslash, None, "\\"}, Plain, 220},
    {{Qt::Key_Bar, Shift, "|"}, Plain, 220},
    {{Qt::Key_BracketRight, Ctrl, ""}, Plain, 221},
    {{Qt::Key_BraceRight, Ctrl | Shift, ""}, Plain, 221},
    {{Qt::Key_Apostrophe, None, "'"}, Plain, 222},
    {{Qt::Key_QuoteDbl, Shift, "\""}, Plain, 222},
    // The number pad.
    {{Qt::Key_5, Pad, "5"}, Plain, 101},
    {{Qt::Key_0, Pad | Ctrl, ""}, Plain, 96},
    {{Qt::Key_Asterisk, Pad, "*"}, Plain, 106},
    {{Qt::Key_Plus, Pad, "+"}, Plain, 107},
    {{Qt::Key_Minus, Pad, "-"}, Plain, 109},
    {{Qt::Key_Period, Pad, "."}, Plain, 110},
    {{Qt::Key_Slash, Pad, "/"}, Plain, 111},
    {{Qt::Key_Home, Pad, ""}, Plain, 36},
    // Layout letter keys by their place; nothing else to go by.
    {{Qt::Key_Udiaeresis, None, "\xc3\xbc"}, Plain, 186},  // the German key right of P sits where the US ";" is
    {{Qt::Key_unknown, None, ""}, Plain, 0},
    // xkb keycodes name the digit key even where Qt reports its symbol
    // (Shift+8 is '(' on a German keyboard).
    {{Qt::Key_ParenLeft, Shift, "(", 17}, Xkb, 56},
    {{Qt::Key_Slash, Ctrl | Shift, "", 16}, Xkb, 55},
    {{Qt::Key_ParenRight, Shift, ")", 19}, Xkb, 48},
    {{Qt::Key_Exclam, Shift, "!", 10}, Xkb, 49},
    {{Qt::Key_BracketLeft, Ctrl, "", 34}, Xkb, 219},
    {{Qt::Key_5, Pad, "5", 84}, Xkb, 101},
    {{Qt::Key_Left, None, "", 113}, Xkb, 37},
    // Windows hands the virtual-key code over directly.
    {{Qt::Key_Udiaeresis, Ctrl, "", 26, 186}, Win, 186},
    {{Qt::Key_ParenLeft, Shift, "(", 9, 56}, Win, 56},
    {{Qt::Key_9, Ctrl, "", 10, 0}, Win, 57},
};

struct CharCase {
    Ev ev;
    int ch;  // -1: no character event
};

const CharCase charCases[] = {
    {{Qt::Key_A, Ctrl, "\x01"}, 1},
    {{Qt::Key_A, Ctrl | Shift, "\x01"}, 1},
    {{Qt::Key_Z, Ctrl, ""}, 26},
    {{Qt::Key_M, Ctrl, "\r"}, 13},
    {{Qt::Key_Return, None, "\r"}, 13},
    {{Qt::Key_Enter, Pad, "\r"}, 13},
    {{Qt::Key_Return, Ctrl, "\r"}, 10},
    {{Qt::Key_Return, Shift, "\r"}, 13},
    {{Qt::Key_Escape, None, "\x1b"}, 27},
    {{Qt::Key_Backspace, None, "\b"}, 8},
    {{Qt::Key_Backspace, Ctrl, "\x7f"}, 127},
    {{Qt::Key_A, None, "a"}, 'a'},
    {{Qt::Key_A, Shift, "A"}, 'A'},
    {{Qt::Key_ParenLeft, Shift, "("}, '('},
    {{Qt::Key_AsciiCircum, Shift, "^"}, '^'},
    {{Qt::Key_Underscore, Shift, "_"}, '_'},
    {{Qt::Key_AsciiTilde, Shift, "~"}, '~'},
    {{Qt::Key_Space, None, " "}, ' '},
    {{Qt::Key_Space, None, ""}, ' '},
    {{Qt::Key_Space, Ctrl, ""}, ' '},
    {{Qt::Key_5, Pad, "5"}, '5'},
    {{Qt::Key_Udiaeresis, None, "\xc3\xbc"}, 252},
    {{Qt::Key_BracketLeft, Ctrl | Alt, "["}, '['},  // AltGr on Windows
    // No character.
    {{Qt::Key_9, Ctrl, "9"}, -1},
    {{Qt::Key_1, Ctrl, ""}, -1},
    {{Qt::Key_BracketLeft, Ctrl, "\x1b"}, -1},
    {{Qt::Key_Slash, Ctrl, "/"}, -1},
    {{Qt::Key_A, Alt, "a"}, -1},
    {{Qt::Key_Return, Alt, "\r"}, -1},
    {{Qt::Key_A, Ctrl | Alt, "\x01"}, -1},
    {{Qt::Key_Left, None, ""}, -1},
    {{Qt::Key_F1, None, ""}, -1},
    {{Qt::Key_Shift, Shift, ""}, -1},
    {{Qt::Key_Tab, None, "\t"}, -1},
    {{Qt::Key_Delete, None, "\x7f"}, -1},
    {{Qt::Key_unknown, None, "\xe2\x82\xac"}, 128},  // the euro sign of the text code page
    {{Qt::Key_A, None, "ab"}, -1},
};

}  // namespace

TEST(KeyMap, VirtualKeys)
{
    for (const VkCase &c : vkCases) {
        const QKeyEvent e = c.ev.Make();
        EXPECT_EQ(VirtualKeyFromQt(e, c.native), c.vk)
            << "Qt key 0x" << std::hex << c.ev.key << std::dec << " scan " << c.ev.scanCode;
    }
}

TEST(KeyMap, ShiftByte)
{
    struct S {
        Qt::KeyboardModifiers mods;
        uint8_t shift;
    };
    const S cases[] = {
        {None, 0}, {Shift, 1}, {Alt, 2}, {Ctrl, 4}, {Ctrl | Shift, 5}, {Ctrl | Alt, 6}, {Ctrl | Alt | Shift, 7},
        {Pad, 0},  {Pad | Ctrl, 4}, {Qt::MetaModifier, 0},
    };
    for (const S &s : cases)
        EXPECT_EQ(ShiftFromQt(s.mods), s.shift) << s.mods.toInt();
}

TEST(KeyMap, CharacterEvents)
{
    for (const CharCase &c : charCases) {
        const QKeyEvent e = c.ev.Make();
        const std::optional<uint8_t> ch = CharFromQt(e);
        EXPECT_EQ(ch ? int(*ch) : -1, c.ch) << "Qt key 0x" << std::hex << c.ev.key << " mods 0x"
                                             << c.ev.mods.toInt();
    }
}

TEST(KeyMap, OffscreenPlatformHasNoNativeCodes)
{
    const QString p = QGuiApplication::platformName();
    const TNativeKeys expected = p == QLatin1String("xcb") ? TNativeKeys::XkbKeycode : TNativeKeys::None;
    if (p == QLatin1String("offscreen") || p == QLatin1String("xcb")) {
        EXPECT_EQ(NativeKeysOfPlatform(), expected);
    }
}
