// The popup menu of a text box, the hook of the box file dialogs, and
// the conversion between a text box's document and its rich text.
#pragma once

#include <functional>

#include <QObject>
#include <QString>

#include "shell/Rtf.h"

class QAction;
class QMenu;
class QTextDocument;
class QTextEdit;
class TObjBox;

class TGridObjectMenu : public QObject {
    Q_OBJECT
public:
    // The popup belongs to the box's text edit.
    TGridObjectMenu(TObjBox *box, QTextEdit *edit);

    QMenu *Popup = nullptr;
    QAction *WrapWordItem = nullptr;
    QAction *LockTextItem = nullptr;
    QAction *ScrollBarsItem = nullptr;
    QAction *SeparatorItem = nullptr;
    QAction *DeleteItem = nullptr;
    TObjBox *Box = nullptr;

    void WrapWordClick();
    void LockTextClick();
    void ScrollBarsClick();
    void DeleteTextBoxClick();
};

// The open-file dialog of Insert/Text File and Insert/Image File: the chosen
// file, or an empty string when cancelled; tests point this at a stub.
extern std::function<QString(QWidget *owner, const QString &title, const QString &filter)> BoxFileDialogHook;

TRtfDocument RtfFromDocument(const QTextDocument &doc);
void DocumentFromRtf(QTextDocument &doc, const TRtfDocument &rtf);
