#include "platform/ui/Actions.h"

#include "platform/core/Property.h"

#include <algorithm>

namespace {

template <class T>
void Erase(std::vector<T*>& v, T* item)
{
    v.erase(std::remove(v.begin(), v.end(), item), v.end());
}

}  // namespace

// ---------------------------------------------------------------------------
// TImageList

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(std::max(width, 0)), height_(std::max(height, 0))
{
}

TImageList::~TImageList()
{
    BeginDestroy();
    // The actions forget the list; their controls hear of it.
    const std::vector<TAction*> users = users_;
    for (TAction* a : users)
        a->SetImages(nullptr);
}

int TImageList::Add(const TBitmap& image)
{
    return AddEntry(image, clNone);
}

int TImageList::AddMasked(const TBitmap& image, TColor mask)
{
    return AddEntry(image, mask);
}

int TImageList::AddEntry(const TBitmap& image, TColor mask)
{
    TEntry e;
    e.image = std::make_unique<TBitmap>(width_, height_);
    TCanvas& c = e.image->Canvas();
    c.Brush().Color = clBlack;
    c.FillRect({0, 0, width_, height_});
    if (!image.Empty())
        c.Draw(0, 0, image);
    e.mask = mask;
    images_.push_back(std::move(e));
    Changed();
    return Count() - 1;
}

void TImageList::Clear()
{
    if (images_.empty())
        return;
    images_.clear();
    Changed();
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) const
{
    if (index < 0 || index >= Count())
        return;
    const TEntry& e = images_[std::size_t(index)];
    if (e.mask == clNone)
        canvas.Draw(x, y, *e.image);
    else
        canvas.DrawTransparent(x, y, *e.image, e.mask);
}

void TImageList::Changed()
{
    const std::vector<TAction*> users = users_;
    for (TAction* a : users)
        a->Changed();
}

// ---------------------------------------------------------------------------
// TAction

TAction::TAction(TComponent* owner) : TComponent(owner) {}

TAction::~TAction()
{
    BeginDestroy();
    if (images_)
        Erase(images_->users_, this);
    for (TControl* c : clients_)
        c->action_ = nullptr;
}

void TAction::SetCaption(const QString& v)
{
    if (Store(caption_, v))
        Changed();
}

void TAction::SetEnabled(bool v)
{
    if (Store(enabled_, v))
        Changed();
}

void TAction::SetImageIndex(int v)
{
    if (Store(imageIndex_, v))
        Changed();
}

void TAction::SetImages(TImageList* v)
{
    if (v == images_)
        return;
    if (images_)
        Erase(images_->users_, this);
    images_ = v;
    if (images_)
        images_->users_.push_back(this);
    Changed();
}

bool TAction::Execute()
{
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

void TAction::AddClient(TControl* c)
{
    clients_.push_back(c);
}

void TAction::RemoveClient(TControl* c)
{
    Erase(clients_, c);
}

void TAction::Changed()
{
    if (Destroying())
        return;
    // A client may unlink itself while it hears of the change.
    const std::vector<TControl*> clients = clients_;
    for (TControl* c : clients)
        if (std::find(clients_.begin(), clients_.end(), c) != clients_.end())
            c->ActionChange();
}

bool TAction::ImageAsGlyph(TBitmap& glyph) const
{
    const int index = imageIndex_;
    if (!images_ || index < 0 || index >= images_->Count() || images_->Width() <= 0 || images_->Height() <= 0)
        return false;
    glyph.SetSize(images_->Width(), images_->Height());
    glyph.Canvas().Brush().Style = bsSolid;
    glyph.Canvas().Brush().Color = RGB(255, 0, 255);
    glyph.Canvas().FillRect({0, 0, images_->Width(), images_->Height()});
    images_->Draw(glyph.Canvas(), 0, 0, index);
    return true;
}
