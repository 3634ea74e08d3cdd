// Placeholder bodies so the tree links while the real drawing code is written.
// Delete this file once every body below has its real implementation.
#include "Bitmap.h"
#include "Colors.h"
#include "Font.h"
#include "Region.h"

std::uint32_t GetSysColor(int) { return 0; }
std::uint32_t ColorToRGB(TColor c) { return std::uint32_t(c) & 0xFFFFFFu; }

TCanvas::TCanvas(QImage* target) : target_(target) {}
int TCanvas::ImageWidth() const { return target_ ? target_->width() : 0; }
int TCanvas::ImageHeight() const { return target_ ? target_->height() : 0; }
TBkMode TCanvas::SetBkMode(TBkMode m) { auto o = state_.BkMode; state_.BkMode = m; return o; }
TColor TCanvas::SetBkColor(TColor c) { auto o = state_.BkColor; state_.BkColor = c; return o; }
void TCanvas::MoveTo(int, int) {}
void TCanvas::LineTo(int, int) {}
void TCanvas::Polyline(const TPoint*, int) {}
void TCanvas::Polygon(const TPoint*, int) {}
void TCanvas::Rectangle(int, int, int, int) {}
void TCanvas::Ellipse(int, int, int, int) {}
void TCanvas::RoundRect(int, int, int, int, int, int) {}
void TCanvas::FillRect(const TRect&) {}
void TCanvas::FrameRect(const TRect&) {}
void TCanvas::FillRegion(const TRegion&) {}
void TCanvas::DrawFocusRect(const TRect&) {}
TColor TCanvas::Pixel(int, int) const { return clNone; }
void TCanvas::SetPixel(int, int, TColor) {}
void TCanvas::CopyRect(const TRect&, const TCanvas&, const TRect&, std::uint32_t) {}
void TCanvas::CopyRect(const TRect&, const TBitmap&, const TRect&, std::uint32_t) {}
void TCanvas::Draw(int, int, const TBitmap&) {}
void TCanvas::DrawTransparent(int, int, const TBitmap&, TColor) {}
void TCanvas::StretchDraw(const TRect&, const TBitmap&) {}
void TCanvas::SetClipRect(const TRect&) {}
void TCanvas::IntersectClipRect(const TRect&) {}
void TCanvas::ExcludeClipRect(const TRect&) {}
void TCanvas::ResetClip() {}
TRect TCanvas::ClipRect() const { return {0, 0, ImageWidth(), ImageHeight()}; }
TPoint TCanvas::SetViewportOrg(TPoint p) { auto o = state_.ViewportOrg; state_.ViewportOrg = p; return o; }
int TCanvas::SaveDC() { saved_.push_back(state_); return int(saved_.size()); }
bool TCanvas::RestoreDC(int) { if (saved_.empty()) return false; state_ = saved_.back(); saved_.pop_back(); return true; }

TBitmap::TBitmap() : canvas_(&image_) {}
TBitmap::TBitmap(int w, int h) : canvas_(&image_) { SetSize(w, h); }
void TBitmap::SetSize(int w, int h)
{
    if (w <= 0 || h <= 0) { image_ = QImage(); return; }
    image_ = QImage(w, h, QImage::Format_RGB32);
    image_.fill(0xFFFFFFFFu);
}
std::uint32_t* TBitmap::ScanLine(int y) { return reinterpret_cast<std::uint32_t*>(image_.scanLine(y)); }
const std::uint32_t* TBitmap::ScanLine(int y) const { return reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y)); }
TColor TBitmap::Pixel(int, int) const { return clNone; }
void TBitmap::SetPixel(int, int, TColor) {}
void TBitmap::Assign(const TBitmap& o) { image_ = o.image_.copy(); }
void TBitmap::LoadFromImage(const QImage& img) { image_ = img.convertToFormat(QImage::Format_RGB32); }

TRegion::TRegion(const TRect& r) { if (!r.IsEmpty()) rects_.push_back(r); }
TRegion TRegion::FromPolygon(const TPoint*, int, TFillMode) { return {}; }
bool TRegion::FromData(const std::uint8_t*, std::size_t, TRegion& out) { out = {}; return false; }
bool TRegion::Contains(int, int) const { return false; }
TRect TRegion::BoundingBox() const { return {}; }
TRegion TRegion::Union(const TRegion&) const { return {}; }
TRegion TRegion::Intersect(const TRegion&) const { return {}; }
TRegion TRegion::Subtract(const TRegion&) const { return {}; }
TRegion TRegion::Offset(int, int) const { return {}; }
std::vector<std::uint8_t> TRegion::ToData() const { return {}; }
QRegion TRegion::ToQRegion() const { return {}; }
TRegion TRegion::FromImageExcept(const QImage&, TColor) { return {}; }
TRegion TRegion::FromRects(const std::vector<TRect>&) { return {}; }
