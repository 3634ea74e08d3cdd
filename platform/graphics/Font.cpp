#include "platform/graphics/Font.h"

#include "platform/core/Property.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>

namespace {

std::atomic<int> g_liveFonts{0};

// The framework's default font, "8 points" at 96 dpi.
constexpr int kDefaultEmPixels = 11;
// A logical-font face name holds at most 31 characters.
constexpr int kMaxFaceLength = 31;

enum class TFaceKind { Serif, Sans, Mono };

struct FaceAlias {
    const char* windowsName;
    TFaceKind kind;
};

// Windows faces the layouts name, and the metric-compatible kind that stands
// in for each. Liberation Sans also serves the old bitmap sans face: its
// widths are much closer to it than DejaVu's.
constexpr FaceAlias kAliases[] = {
    {"times new roman", TFaceKind::Serif}, {"times", TFaceKind::Serif},
    {"ms serif", TFaceKind::Serif},        {"ms sans serif", TFaceKind::Sans},
    {"microsoft sans serif", TFaceKind::Sans}, {"arial", TFaceKind::Sans},
    {"helvetica", TFaceKind::Sans},        {"tahoma", TFaceKind::Sans},
    {"courier new", TFaceKind::Mono},      {"courier", TFaceKind::Mono},
};

// Installed families tried for each kind, best first.
QStringList CandidatesFor(TFaceKind kind)
{
    switch (kind) {
    case TFaceKind::Serif: return {"Liberation Serif", "DejaVu Serif"};
    case TFaceKind::Mono: return {"Liberation Mono", "DejaVu Sans Mono"};
    case TFaceKind::Sans: break;
    }
    return {"Liberation Sans", "DejaVu Sans"};
}

QString FirstInstalled(TFaceKind kind)
{
    for (const QString& family : CandidatesFor(kind))
        if (QFontDatabase::hasFamily(family))
            return family;
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

QString ResolveFamilyUncached(const QString& face)
{
    const QString key = face.trimmed().toLower();
    for (const FaceAlias& alias : kAliases)
        if (key == QLatin1String(alias.windowsName))
            return FirstInstalled(alias.kind);
    if (!key.isEmpty() && QFontDatabase::hasFamily(face.trimmed()))
        return face.trimmed();
    return FirstInstalled(TFaceKind::Sans);
}

// Font database look-ups are slow compared with a paint, and fonts are made
// per measure; remember every answer.
std::mutex g_cacheMutex;

QString ResolveFamily(const QString& face)
{
    static QHash<QString, QString> cache;
    const std::lock_guard lock(g_cacheMutex);
    auto it = cache.constFind(face);
    if (it == cache.constEnd())
        it = cache.insert(face, ResolveFamilyUncached(face));
    return *it;
}

// A positive height asks for the cell height (ascent + descent): take the
// pixel size whose cell comes closest, the smaller cell on a tie.
int PixelSizeForCell(QFont font, int cellHeight)
{
    auto cellAt = [&font](int px) {
        font.setPixelSize(px);
        return QFontMetrics(font).height();
    };
    int px = std::max(1, cellHeight);
    while (px > 1 && cellAt(px) > cellHeight)
        --px;
    const int below = std::abs(cellAt(px) - cellHeight);
    if (std::abs(cellAt(px + 1) - cellHeight) < below)
        ++px;
    return px;
}

int CachedPixelSizeForCell(const QFont& font, int cellHeight)
{
    static QHash<QString, int> cache;
    const QString key = font.key() + QLatin1Char('|') + QString::number(cellHeight);
    {
        const std::lock_guard lock(g_cacheMutex);
        if (auto it = cache.constFind(key); it != cache.constEnd())
            return *it;
    }
    const int px = PixelSizeForCell(font, cellHeight);
    const std::lock_guard lock(g_cacheMutex);
    cache.insert(key, px);
    return px;
}

// Windows' MulDiv: a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c)
{
    const long long n = static_cast<long long>(a) * b;
    const long long q = (2 * std::llabs(n) + c) / (2LL * c);
    return static_cast<int>(n < 0 ? -q : q);
}

constexpr int kScreenDpi = 96;

} // namespace

QFont MakeQtFont(const QString& face, int height, int weight, bool italic, bool underline, bool strikeOut)
{
    QFont font(ResolveFamily(face.left(kMaxFaceLength)));
    // Crisp one-colour glyphs: the classic look, and a caption drawn twice at
    // the same place (or in relief passes) covers exactly the same pixels.
    // No shaping or kerning: widths add up character by character, so
    // measuring a line piece by piece gives the width of the whole line.
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferNoShaping));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    font.setWeight(static_cast<QFont::Weight>(weight <= 0 ? FW_NORMAL : std::clamp(weight, 1, 1000)));
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    if (height < 0)
        font.setPixelSize(-height);
    else if (height == 0)
        font.setPixelSize(kDefaultEmPixels);
    else
        font.setPixelSize(CachedPixelSizeForCell(font, height));
    return font;
}

THFont::THFont(const TLogFont& lf)
    : lf_(lf),
      qfont_(MakeQtFont(lf.lfFaceName, lf.lfHeight, lf.lfWeight, lf.lfItalic != 0, lf.lfUnderline != 0,
                        lf.lfStrikeOut != 0))
{
    lf_.lfFaceName.truncate(kMaxFaceLength);
    ++g_liveFonts;
}

THFont::~THFont() { --g_liveFonts; }

int THFont::LiveCount() { return g_liveFonts.load(); }

std::unique_ptr<THFont> CreateFontIndirect(const TLogFont& lf) { return std::make_unique<THFont>(lf); }

TFont::TFont() : name_(QStringLiteral("MS Sans Serif")), height_(-kDefaultEmPixels) {}

void TFont::SetName(const QString& v)
{
    if (Store(name_, v))
        Changed();
}

void TFont::SetHeight(int v)
{
    if (Store(height_, v))
        Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, kScreenDpi); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, kScreenDpi, 72)); }

void TFont::SetStyle(TFontStyles v)
{
    if (Store(style_, v))
        Changed();
}

void TFont::SetCharset(std::uint8_t v)
{
    if (Store(charset_, v))
        Changed();
}

void TFont::SetColor(TColor v)
{
    if (Store(color_, v))
        Changed();
}

void TFont::Assign(const TFont& other)
{
    if (&other == this || SameAs(other))
        return;
    name_ = other.name_;
    height_ = other.height_;
    style_ = other.style_;
    charset_ = other.charset_;
    color_ = other.color_;
    Changed();
}

bool TFont::SameAs(const TFont& other) const
{
    return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ &&
           charset_ == other.charset_ && color_ == other.color_;
}

TLogFont TFont::ToLogFont() const
{
    TLogFont lf;
    lf.lfHeight = height_;
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
    lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = charset_;
    lf.lfFaceName = name_.left(kMaxFaceLength);
    return lf;
}

QFont TFont::QtFont() const
{
    return MakeQtFont(name_, height_, (style_ & fsBold) ? FW_BOLD : FW_NORMAL, (style_ & fsItalic) != 0,
                      (style_ & fsUnderline) != 0, (style_ & fsStrikeOut) != 0);
}

void TFont::Changed()
{
    Fire(OnChange);
}

std::thread StartLoadingFontConfiguration()
{
    // The configuration is the process's: Qt finds it loaded, or, if it asks
    // first, loads its own and fontconfig keeps whichever was ready first.
    return std::thread([] { FcInit(); });
}
