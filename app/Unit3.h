#pragma once

// The About window: the program's name and version, the credits, and a
// picture of the computer keys that play the notes. It has no logic of its
// own; the main window's "?" button shows it modally and "OK" closes it.

#include "controls/flat/TFlatMemoUnit.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <QStringList>

class TBitmap;

class TForm3 : public TForm {
public:
    explicit TForm3(TComponent* owner);
    ~TForm3() override;
    QString ClassName() const override { return QStringLiteral("TForm3"); }

    TImage* Image1;
    TPanel* Panel1;
    TButton* Button1;
    TFlatMemo* FlatMemo1;

    // The text of the About box, one entry per line, each shown centred.
    static QStringList AboutLines();
    // The size of the key picture.
    static constexpr int KeyPictureWidth = 203;
    static constexpr int KeyPictureHeight = 70;
    // Draws the key picture into bmp (resized to the picture's size): on a
    // white ground the seven white caps Z X C V B N M and, half a cap to the
    // right and above them, the grey caps S D and G H J, as the black keys
    // lie over the white ones.
    static void DrawKeyPicture(TBitmap& bmp);
};

// The About window, once created.
extern TForm3* Form3;
