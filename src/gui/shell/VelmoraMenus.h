// The menu commands on files, blocks of cells and the sheet: File/Open, Save
// and Save As with their dialogs, Cut, Copy, Paste, Delete and Paste To Box on
// the system clipboard, Show TextBox, Lock Page, Unlock Cell, Grid and the
// three sheet sizes. The window owns the menus and the boxes; it passes them
// in, the boxes through TBoxAdapter.
#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "shell/WorksheetFile.h"
#include "worksheet/ClipBoard.h"

class GridWidget;
class TObjBox;
class QAction;
class QIODevice;
class QWidget;

// The window's box list as the file and clipboard commands see it.
class TBoxAdapter {
public:
    virtual ~TBoxAdapter() = default;
    // Every box in list order (the most recently added first), with its
    // geometry, Kind and State; a plain picture as a BMP file, a text box's
    // content as rich text. The list head is not among them.
    virtual std::vector<TFileBox> FileBoxes() = 0;
    virtual void DeleteBoxes() = 0;
    // One box read from a file (a plain picture comes decoded too), added at
    // the front of the list: a text box is made, given State 2 and rendered.
    virtual void AddFileBox(const TFileBox &box, const QImage &picture) = 0;
    // The clipboard's text or bitmap as a new box; false when none was made.
    virtual bool PasteBox() = 0;
    virtual void SetHighlight(bool on) = 0;
    // Makes the picture of every text box shown as one again.
    virtual void RefreshTextBoxes() = 0;
};

// TBoxAdapter on the window's box list, through the pointer to its head
// (ObjBoxList), which may be made later; without a list there are no boxes.
class TObjBoxFiles : public TBoxAdapter {
public:
    explicit TObjBoxFiles(TObjBox *const &head) : head_(head) {}
    std::vector<TFileBox> FileBoxes() override;
    void DeleteBoxes() override;
    void AddFileBox(const TFileBox &box, const QImage &picture) override;
    bool PasteBox() override;
    void SetHighlight(bool on) override;
    void RefreshTextBoxes() override;

private:
    TObjBox *const &head_;
};

// The system clipboard's text in the sheet's 8-bit characters (the text
// font's Windows-1252 set the painter draws ANSI cells with).
std::string UnicodeToSheetText(const QString &text);
QString SheetTextToUnicode(const std::string &text);

struct TFileDialogRequest {
    bool Save = false;
    QString Title;
    QString Filter;
    QString DefaultSuffix;
};

class TVelmoraMenus {
public:
    TVelmoraMenus(GridWidget &grid, TBoxAdapter &boxes, QWidget *dialogParent = nullptr);

    // Tests: answers the file dialogs in their place with the chosen file,
    // or an empty string for a cancelled dialog.
    std::function<QString(const TFileDialogRequest &)> FileDialog;
    // Tests: writes a file's bytes in place of the plain write and returns
    // how many were written, so that a write can stop part way, as on a full
    // disk.
    std::function<qint64(QIODevice &file, const char *data, qint64 size)> WriteHook;
    // The Show TextBox menu item, kept in step with the sheet's flag.
    QAction *ShowTextBoxItem = nullptr;

    // False when the dialog is cancelled or the file is refused (with a
    // message; then nothing has changed).
    bool OpenFile();
    bool OpenFileNamed(const QString &path);
    // False, after a message, when the file could not be written; the file
    // on disk is then as it was.
    bool SaveFile();
    bool SaveFileAs();

    void Copy(const TGridRect &sel);
    void Cut(const TGridRect &sel);
    void Delete(const TGridRect &sel);
    void Paste(int col, int row);
    void PasteToObject();
    void ToggleShowTextBox(QAction *item);
    // Menu check and highlight after the sheet's flag changed on its own
    // (every reset of the sheet turns it off).
    void SyncShowTextBox();
    void LockPage(bool locked);
    void UnlockCells(const TGridRect &sel);
    // Grid lines on or off, the other way than the grid shows them now (a
    // checkable menu item has already toggled its own check).
    void ToggleGrid(QAction *item);
    // The three Size items, in the order 144 x 144, 72 x 72, landscape.
    void SetPortrait72x72(QAction *size144, QAction *size72, QAction *landscape);
    void SetPortrait144x144(QAction *size144, QAction *size72, QAction *landscape);
    void SetLandscape(QAction *size144, QAction *size72, QAction *landscape);

    TSheetCommands &Commands() { return commands_; }

private:
    QString ChooseFile(bool save, const QString &title, const QString &filter);
    void Message(const QString &title, const QString &text);
    void SetSize(int cols, int rows, QAction *checked, std::initializer_list<QAction *> items);

    class TQtClipboardText : public TClipboardText {
    public:
        bool HasText() const override;
        std::string Text() const override;
        void SetText(const std::string &text) override;
    };

    GridWidget &grid_;
    TBoxAdapter &boxes_;
    QWidget *dialogParent_;
    TQtClipboardText clipboard_;
    TSheetCommands commands_{clipboard_};
};
