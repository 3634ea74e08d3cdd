// Placeholder bodies so the tree links while the real text code is written.
// Delete this file once every body below has its real implementation.
#include "Bitmap.h"
#include "Colors.h"
#include "Font.h"
#include "Region.h"

THFont::THFont(const TLogFont& lf) : lf_(lf) {}
THFont::~THFont() = default;
TFont::TFont() : name_("MS Sans Serif"), height_(-11) {}
int THFont::LiveCount() { return 0; }
std::unique_ptr<THFont> CreateFontIndirect(const TLogFont& lf) { return std::make_unique<THFont>(lf); }
QFont MakeQtFont(const QString&, int, int, bool, bool, bool) { return QFont(); }
void TFont::SetName(const QString& v) { name_ = v; }
void TFont::SetHeight(int v) { height_ = v; }
int TFont::Size() const { return 8; }
void TFont::SetSize(int) {}
void TFont::SetStyle(TFontStyles v) { style_ = v; }
void TFont::SetCharset(std::uint8_t v) { charset_ = v; }
void TFont::SetColor(TColor v) { color_ = v; }
void TFont::Assign(const TFont&) {}
bool TFont::SameAs(const TFont&) const { return false; }
TLogFont TFont::ToLogFont() const { return {}; }
QFont TFont::QtFont() const { return QFont(); }
void TFont::Changed() {}
const THFont* TCanvas::SelectFont(const THFont* f) { auto o = state_.SelectedFont; state_.SelectedFont = f; return o; }
void TCanvas::TextOut(int, int, const QString&) {}
int TCanvas::TextWidth(const QString&) const { return 0; }
int TCanvas::TextHeight(const QString&) const { return 0; }
TTextMetric TCanvas::GetTextMetrics() const { return {}; }
int TCanvas::DrawText(const QString&, TRect&, unsigned) { return 0; }
void TCanvas::SetTextJustification(int, int) {}
QFont TCanvas::CurrentQtFont() const { return QFont(); }
