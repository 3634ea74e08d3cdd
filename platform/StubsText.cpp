// Placeholder bodies so the tree links while the real text code is written.
// Delete this file once every body below has its real implementation.
#include "Bitmap.h"
#include "Colors.h"
#include "Font.h"
#include "Region.h"

THFont::THFont(const TLogFont& lf) : lf_(lf) {}
THFont::~THFont() = default;
TFont::TFont() : name_("MS Sans Serif"), height_(-11) {}
