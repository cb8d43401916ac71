// A main window for the calculate command that only keeps its status line
// (and what was appended to it, the scan trace); for tests and benchmarks.
#pragma once

#include <string>

#include "shell/CalcCommand.h"
#include "worksheet/Edit.h"

struct QuietWindow : TCalcWindow {
    std::string status, trace;
    void SetStatusText(const std::string &t) override { status = t; }
    void AppendStatusText(const std::string &t) override { status += t, trace += t; }
    std::string StatusText() const override { return status; }
    void SetStatusColor(uint32_t) override {}
    void SetClearGlyph(bool) override {}
    void FocusGrid() override {}
    void ResetGridFont() override {}
    void SizeMenuLock(bool) override {}
    void EscModeOff() override {}
    void SubscriptOff() override { ScriptLevel = 0; }
    void SuperscriptOff() override { ScriptLevel = 0; }
    void AnsiFontSet() override { FontSet = 0; }
    void RestoreBaseCaption() override {}
    void SetLockGridChecked(bool) override {}
    void DeleteBoxes() override {}
    void ShowRoute() override {}
    TProgressBar *ProgressBar() override { return nullptr; }
};
