// Message boxes of the program: a text, a title and an OK button, no icon.
#pragma once

#include <QString>
#include <functional>

class QWidget;

// Shows the box and waits for OK.
void ShowMessageBox(QWidget *parent, const QString &text, const QString &title);

// Tests: receives each box's text and title; the box is then closed
// without waiting for anyone.
extern std::function<void(const QString &text, const QString &title)> MessageBoxHook;
