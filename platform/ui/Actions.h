#pragma once

// Actions and image lists: a command shared by the controls linked to it
// (caption, enabled state, an image, what it executes), and a list of
// equally sized images the actions refer to by index.

#include "platform/graphics/Bitmap.h"
#include "platform/core/Colors.h"
#include "platform/ui/Controls.h"

#include <QString>

#include <memory>
#include <vector>

class TAction;

// Equally sized images, drawn by index. An image added with a mask colour
// leaves the pixels of that colour out when drawn.
class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner, int width = 16, int height = 16);
    ~TImageList() override;

    QString ClassName() const override { return QStringLiteral("TImageList"); }

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return int(images_.size()); }

    // Copies the top-left Width x Height of image into a new entry (what the
    // image does not cover is black) and returns its index.
    int Add(const TBitmap& image);
    int AddMasked(const TBitmap& image, TColor mask);
    void Clear();

    // Draws image index with its top-left at (x, y); an index out of range
    // draws nothing.
    void Draw(TCanvas& canvas, int x, int y, int index) const;

private:
    friend class TAction;
    struct TEntry {
        std::unique_ptr<TBitmap> image;
        TColor mask = clNone;
    };
    int AddEntry(const TBitmap& image, TColor mask);
    void Changed();

    int width_;
    int height_;
    std::vector<TEntry> images_;
    std::vector<TAction*> users_;
};

// A command that controls link to through SetAction. Linking copies the
// action's caption and enabled state to the control; later changes of the
// action reach every linked control. A linked control's click executes the
// action when it has an OnExecute handler.
class TAction : public TComponent, public TActionDuties {
public:
    explicit TAction(TComponent* owner);
    ~TAction() override;

    QString ClassName() const override { return QStringLiteral("TAction"); }

    TAction* Action() override { return this; }

    const QString& Caption() const override { return caption_; }
    void SetCaption(const QString& v);
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool v);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    // The image list the index refers to (not owned), or nullptr.
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* v);
    // Draws the action's image into glyph as a one-cell glyph on the key
    // colour RGB(255, 0, 255), for a button without a glyph of its own; false
    // (glyph untouched) when there is no image to show.
    bool ImageAsGlyph(TBitmap& glyph) const;

    TNotifyEvent OnExecute;
    // Runs OnExecute; false when there is none.
    bool Execute() override;

    // The controls linked to this action, in linking order.
    const std::vector<TControl*>& Clients() const { return clients_; }

private:
    friend class TControl;
    friend class TImageList;
    void AddClient(TControl* c) override;
    void RemoveClient(TControl* c) override;
    void Changed();

    QString caption_;
    bool enabled_ = true;
    int imageIndex_ = -1;
    TImageList* images_ = nullptr;
    std::vector<TControl*> clients_;
};
