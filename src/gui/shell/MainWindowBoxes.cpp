// Text boxes and pictures on the sheet: the box list, the Insert menu, and
// the pictures that printing copies onto the page.
#include "MainWindow.h"
#include "VMPrinter.h"
#include "worksheet/Edit.h"
#include "worksheet/ObjectBoxes.h"

void TForm2::InstallBoxes()
{
    // The list itself is made earlier, with the sheet commands that keep it.
    PlaceBoxes = [] { ObjBoxList->PlaceBoxes(); };
    WireAction(QStringLiteral("Menu_InsertBitmapFile"), [this] { ObjBoxList->InsertPictureFile(this); });
    WireAction(QStringLiteral("Menu_InsertTextFile"), [this] { ObjBoxList->InsertTextFile(this); });
    WireAction(QStringLiteral("Menu_InsertTextbox"), [] { ObjBoxList->InsertNewTextBox(); });
    WireAction(QStringLiteral("Menu_InsertTextToBitmap1"), [] { ObjBoxList->RenderEditing(); });
    SheetPrinter.OnBoxPictures = [] {
        std::vector<TBoxPicture> pictures;
        for (const TObjBox *b = ObjBoxList->NextBox(); b; b = b->NextBox()) {
            const QImage picture = b->Picture();
            if (b->GetEditor() == &EditText && !picture.isNull())
                pictures.push_back({b->Col, b->Row, b->DX, b->DY, b->Width, b->Height, picture});
        }
        return pictures;
    };
}
