#include "KeyMap.h"

#include "worksheet/CellPainter.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <array>

namespace {

// Virtual-key codes by the character Qt reports, as the US layout places
// them: a shifted character counts as the key it is typed on.
constexpr std::array<uint8_t, 128> AsciiKeys()
{
    std::array<uint8_t, 128> t{};
    t[' '] = 32;
    for (int d = 0; d < 10; ++d)
        t['0' + d] = uint8_t(48 + d);
    for (int l = 0; l < 26; ++l)
        t['A' + l] = t['a' + l] = uint8_t(65 + l);
    const char *digitShifted = ")!@#$%^&*(";
    for (int d = 0; d < 10; ++d)
        t[uint8_t(digitShifted[d])] = uint8_t(48 + d);
    struct Oem {
        char plain, shifted;
        uint8_t vk;
    };
    const Oem oem[] = {{';', ':', 186},  {'=', '+', 187}, {',', '<', 188}, {'-', '_', 189},
                       {'.', '>', 190},  {'/', '?', 191}, {'`', '~', 192}, {'[', '{', 219},
                       {'\\', '|', 220}, {']', '}', 221}, {'\'', '"', 222}};
    for (const Oem &o : oem)
        t[uint8_t(o.plain)] = t[uint8_t(o.shifted)] = o.vk;
    return t;
}

constexpr std::array<uint8_t, 128> asciiKeys = AsciiKeys();

struct Named {
    int qtKey;
    uint16_t vk;
};

const Named namedKeys[] = {
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},     {Qt::Key_Backtab, 9},   {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},   {Qt::Key_Enter, 13},  {Qt::Key_Shift, 16},    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},      {Qt::Key_AltGr, 18},  {Qt::Key_Pause, 19},    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},   {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},
    {Qt::Key_Home, 36},     {Qt::Key_Left, 37},   {Qt::Key_Up, 38},       {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},     {Qt::Key_Print, 44},  {Qt::Key_Insert, 45},   {Qt::Key_Delete, 46},
    {Qt::Key_Meta, 91},     {Qt::Key_Menu, 93},   {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145},
};

// Letter keys of the German, Italian and Brazilian layouts, by the key
// they sit on in the US layout.
const Named layoutLetterKeys[] = {
    {Qt::Key_ssharp, 219},          {Qt::Key_Udiaeresis, 186}, {Qt::Key_Odiaeresis, 192}, {Qt::Key_Adiaeresis, 222},
    {Qt::Key_Dead_Circumflex, 220}, {Qt::Key_Dead_Acute, 221}, {Qt::Key_Egrave, 186},     {Qt::Key_Ograve, 192},
    {Qt::Key_Agrave, 222},          {Qt::Key_Ugrave, 191},     {Qt::Key_Igrave, 221},     {Qt::Key_Ccedilla, 186},
    {Qt::Key_Dead_Tilde, 222},
};

// The number pad with Num Lock on; with it off the pad sends the named keys.
const Named keypadKeys[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},  {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},   {Qt::Key_Comma, 110}, {Qt::Key_Slash, 111},
};

// xkb keycodes of the digit row: evdev KEY_1..KEY_0 (2..11) plus 8. The row
// sits in the same place on every layout the program offers.
constexpr uint32_t xkbDigit1 = 10;
constexpr uint32_t xkbDigit0 = 19;

}  // namespace

TNativeKeys NativeKeysOfPlatform()
{
#ifdef Q_OS_WIN
    return TNativeKeys::WindowsVK;
#else
    const QString p = QGuiApplication::platformName();
    if (p == QLatin1String("xcb") || p.startsWith(QLatin1String("wayland")))
        return TNativeKeys::XkbKeycode;
    return TNativeKeys::None;
#endif
}

uint8_t ShiftFromQt(Qt::KeyboardModifiers modifiers)
{
    uint8_t s = 0;
    if (modifiers & Qt::ShiftModifier)
        s |= 1;
    if (modifiers & Qt::AltModifier)
        s |= 2;
    if (modifiers & Qt::ControlModifier)
        s |= 4;
    return s;
}

uint16_t VirtualKeyFromQt(const QKeyEvent &e, TNativeKeys native)
{
    if (native == TNativeKeys::WindowsVK && e.nativeVirtualKey() != 0 && e.nativeVirtualKey() <= 0xFF)
        return uint16_t(e.nativeVirtualKey());

    const int key = e.key();
    for (const Named &n : namedKeys)
        if (n.qtKey == key)
            return n.vk;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return uint16_t(112 + (key - Qt::Key_F1));

    if (e.modifiers() & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return uint16_t(96 + (key - Qt::Key_0));
        for (const Named &n : keypadKeys)
            if (n.qtKey == key)
                return n.vk;
    } else if (native == TNativeKeys::XkbKeycode) {
        // Qt reports the shifted symbol ('(' for Shift+9, or Shift+8 on a
        // German keyboard); the keycode tells the digit on the key.
        const uint32_t code = e.nativeScanCode();
        if (code >= xkbDigit1 && code <= xkbDigit0)
            return code == xkbDigit0 ? 48 : uint16_t(49 + (code - xkbDigit1));
    }

    if (key >= 0 && key < int(asciiKeys.size()))
        return asciiKeys[size_t(key)];
    for (const Named &n : layoutLetterKeys)
        if (n.qtKey == key)
            return n.vk;
    return 0;
}

std::optional<uint8_t> CharFromQt(const QKeyEvent &e)
{
    const Qt::KeyboardModifiers m = e.modifiers();
    const bool ctrl = (m & Qt::ControlModifier) != 0;
    const bool alt = (m & Qt::AltModifier) != 0;
    const int key = e.key();

    // Alt alone makes system characters for the menu, none for the sheet.
    if (alt && !ctrl)
        return std::nullopt;
    if (key == Qt::Key_Escape)
        return 27;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return ctrl ? 10 : 13;
    // Backspace has its character too: the sheet ignores it, but the
    // window takes its undo snapshot on it, so each erased cell undoes.
    if (key == Qt::Key_Backspace)
        return ctrl ? 127 : 8;
    if (ctrl && !alt) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return uint8_t(1 + (key - Qt::Key_A));
        if (key == Qt::Key_Space)
            return 32;
        return std::nullopt;
    }
    // Plain, Shift, or Ctrl+Alt standing for AltGr: the character typed.
    const QString t = e.text();
    if (t.size() == 1) {
        const char16_t u = t.at(0).unicode();
        if ((u >= 32 && u <= 126) || (u >= 160 && u <= 255))
            return uint8_t(u);
        // The text font's code page keeps a few more characters in 128..159.
        for (int b = 0x80; b < 0xA0; ++b)
            if (TextFontChar(uint8_t(b)) == u)
                return uint8_t(b);
        return std::nullopt;
    }
    if (t.isEmpty() && key == Qt::Key_Space)
        return 32;
    return std::nullopt;
}
