// The system clipboard's text in memory, for the clipboard tests and the fuzzer.
#pragma once

#include <string>

#include "worksheet/ClipBoard.h"

struct MemoryClipboard : TClipboardText {
    bool has = true;
    std::string text;
    bool HasText() const override { return has; }
    std::string Text() const override { return text; }
    void SetText(const std::string &t) override { text = t, has = true; }
};
