#include "Keyboard.h"

TKeyboard KeyboardObj;

void TKeyboard::Announce(const char *name, const char *code)
{
    LayoutName = name;
    // The hooks are installed by the main window; a keyboard used before
    // that (or headless) simply has nobody to tell.
    if (CodeLabel)
        CodeLabel(code);
    if (OnLayoutName)
        OnLayoutName(LayoutName);
}

void TKeyboard::Set(int entry, char keyChar, int32_t vkey, TShiftState shift)
{
    Keys[entry] = TKeyDef{keyChar, vkey, shift};
}

// German and Italian keyboards have the round brackets on Shift+8 and Shift+9.
void TKeyboard::SetParensOn8And9()
{
    Set(kdParenKey, '8', 56, ssShift);
    Set(kdTallParenOpen, '8', 56, ssCtrl);
    Set(kdParenCloseKey, '9', 57, ssShift);
    Set(kdTallParenClose, '9', 57, ssCtrl);
}

void TKeyboard::SetUSDefault()
{
    Announce("US default", "US");
    Set(kdParenKey, '9', 57, ssShift);
    Set(kdTallParenOpen, '9', 57, ssCtrl);
    Set(kdParenCloseKey, '0', 48, ssShift);
    Set(kdTallParenClose, '0', 48, ssCtrl);
    Set(kdBrackKey, '[', 219, 0);
    Set(kdTallBrackOpen, '[', 219, ssCtrl);
    Set(kdBrackCloseKey, ']', 221, 0);
    Set(kdTallBrackClose, ']', 221, ssCtrl);
    Set(kdBraceKey, '[', 219, ssShift);
    Set(kdTallBraceOpen, '[', 219, ssShift | ssCtrl);
    Set(kdBraceCloseKey, ']', 221, ssShift);
    Set(kdTallBraceClose, ']', 221, ssShift | ssCtrl);
    Set(kdSuperscript, '6', 54, ssCtrl);
    Set(kdFraction, '/', 191, ssCtrl);
}

void TKeyboard::SetGerman()
{
    SetUSDefault();
    Announce("German", "DE");
    SetParensOn8And9();
    Set(kdSuperscript, '^', 220, ssCtrl);
    Set(kdFraction, '/', 55, ssCtrl);
}

void TKeyboard::SetItalian()
{
    SetUSDefault();
    Announce("Italian", "IT");
    SetParensOn8And9();
    Set(kdTallBrackOpen, '[', 186, ssCtrl);
    Set(kdTallBrackClose, ']', 187, ssCtrl);
    Set(kdTallBraceOpen, '[', 186, ssShift | ssCtrl);
    Set(kdTallBraceClose, ']', 187, ssShift | ssCtrl);
    Set(kdSuperscript, '^', 221, ssCtrl);
    Set(kdFraction, '/', 55, ssCtrl);
}

void TKeyboard::SetBrazil()
{
    SetUSDefault();
    Announce("BRAZIL", "PT");
    Set(kdTallBrackOpen, '[', 221, ssCtrl);
    Set(kdTallBrackClose, ']', 220, ssCtrl);
    Set(kdTallBraceOpen, '[', 221, ssShift | ssCtrl);
    Set(kdTallBraceClose, ']', 220, ssShift | ssCtrl);
    Set(kdSuperscript, '^', 222, ssCtrl);
    Set(kdFraction, '/', 187, ssCtrl);
}
