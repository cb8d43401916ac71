// Text boxes and pictures on the sheet: each box shows one control over the
// grid (a picture label, or a rich-text edit while a text box is edited) and
// stays anchored to a cell, so it follows scrolling and font-size changes.
// The list head ObjBoxList owns the boxes and handles the events of every
// control; its Busy and Color are the list-wide state.
#pragma once

#include <string>
#include <string_view>

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPointer>

#include "worksheet/BoxGeometry.h"

class GridWidget;
class QLabel;
class QMouseEvent;
class QTextEdit;
class QWidget;
class TEditText;
class TGridObjectMenu;

// Background of a text box being edited ($FFFF00, aqua) and of rendered text
// boxes while they are highlighted ($CFFFCF); clWindow otherwise.
inline const QColor BoxEditingColor{0x00, 0xFF, 0xFF};
inline const QColor BoxHighlightColor{0xCF, 0xFF, 0xCF};
inline const QColor BoxWindowColor{Qt::white};

class TObjBox : public QObject, public TBoxNode {
    Q_OBJECT
public:
    // The head: made once with the sheet's grid and its sheet model.
    TObjBox(GridWidget *grid, TEditText *editor, QObject *parent = nullptr);
    ~TObjBox() override;

    TObjBox *NextBox() const { return static_cast<TObjBox *>(Next); }
    TObjBox *Head() const;

    QPointer<QLabel> Image;    // the picture; for a text box its rendered picture
    QImage Bitmap;             // the picture a picture box was made from
    QPointer<QTextEdit> Edit;  // the text box; null for pictures
    GridWidget *Grid = nullptr;
    TEditText *Editor = nullptr;
    TGridObjectMenu *Menu = nullptr;
    QColor Color = BoxWindowColor;  // on the head: background of a text box about to be rendered

    // --- the list (called on the head)
    TObjBox *AddBox(QWidget *control);
    // Unlinks the box at once and frees it once the event being handled is
    // done: the box may be deleted from one of its own events.
    void DeleteBox(TObjBox *box);
    TObjBox *FindBox(const QWidget *control) const;
    void DeleteBoxesOf(const TEditText *editor);
    TEditText *GetEditor() const { return Editor; }
    TGridMetrics Metrics() const;
    void PlaceBox(TObjBox *box);
    // Every box, or only `box`: after scrolling, grid lines switched or a new cell size.
    void PlaceBoxes(TObjBox *box = nullptr);
    void SnapBox(TObjBox *box);

    // --- the control's mouse (the head's handlers of every box control)
    void BoxMouseDown(QWidget *sender, QMouseEvent *e);
    void BoxMouseMove(QWidget *sender, QMouseEvent *e);
    void BoxMouseUp(QWidget *sender, QMouseEvent *e);

    // --- text boxes and pictures (TextBoxes.cpp)
    bool NewTextBox(QTextEdit *&edit, TObjBox *&box);
    bool NewPictureBox(QLabel *&image);
    bool SetPicture(QLabel *image, const QImage &bitmap);
    // Insert/New Textbox: "NEW TEXT BOX" being edited, with the focus.
    TObjBox *InsertNewTextBox();
    // Insert/Text File and Insert/Image File: ask for a file, then load it.
    bool InsertTextFile(QWidget *owner);
    bool InsertPictureFile(QWidget *owner);
    // The loading part: RTF when the file begins with "{\rtf", else plain text.
    bool LoadTextFile(const QString &path);
    // Any picture format Qt reads; "Image Load Error" when it cannot.
    bool LoadPictureFile(const QString &path);
    // Edit/Paste To Box: a picture when the clipboard holds one, else its text.
    bool PasteBox();
    void CreateBoxMenu(TObjBox *box);
    bool RenderTextBox(TObjBox *box);
    void EditTextBox(TObjBox *box);
    // Insert/Textbox To Image: the first text box being edited becomes a plain picture.
    void RenderEditing();
    // Insert/Show TextBox: the colour of rendered text boxes; RefreshTextBoxes renders them again.
    void SetHighlight(bool on);
    void RefreshTextBoxes();
    void BoxEnter(QWidget *sender);
    void BoxExit(QWidget *sender);
    void BoxDblClick(QWidget *sender);

    // --- the worksheet file
    // A picture box, or a text box from its rich text, with the stored ten geometry integers.
    TObjBox *AddPictureBox(const QImage &picture, const TBoxGeometry &geometry);
    TObjBox *AddTextBox(std::string_view rtf, const TBoxGeometry &geometry);
    // The picture the box shows (a text box's rendered picture); null without one.
    QImage Picture() const;
    // The text box's content as RTF; empty for pictures.
    std::string RichText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Watch(QWidget *control);
    void ReleaseFocus(const QWidget *control);
    QWidget *ShownControl() const;
    void EndDrag();
    bool cursorSet_ = false;
};

// The head of the box list, made by the main window's set-up.
extern TObjBox *ObjBoxList;
