// The text members of TCanvas: plain text output, measuring and the
// DrawText-style formatted output, drawn into the canvas image through Qt.
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/TextPrefix.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

namespace {

constexpr QChar kBlank = u' ';
constexpr QChar kPrefix = u'&';
const QString kEllipsis = QStringLiteral("...");

// Positions are worked out in 64 bits: rectangles and origins may lie
// anywhere in the 32-bit plane, and their sums must not overflow.
using Wide = long long;
// No text reaches this far, so a line starting beyond it cannot show.
constexpr Wide kFar = Wide(1) << 28;

// The font a text call works with: the Qt font, its metrics and the
// baseline rotation of the selected created font.
struct TextFont {
    TextFont(const QFont& f, int esc) : font(f), fm(f), escapement(esc) {}
    QFont font;
    QFontMetrics fm;
    int escapement; // tenths of a degree, counter-clockwise
};

// Justification pixels spread over the blanks as GDI does: every blank gets
// the quotient, the first |remainder| blanks one pixel more (or less).
struct Justification {
    int perBlank = 0;
    int remainder = 0;

    bool Active() const { return perBlank != 0 || remainder != 0; }
    int Step() const { return remainder > 0 ? 1 : -1; }
    Wide ExtraFor(int blankIndex) const { return Wide(perBlank) + (blankIndex < std::abs(remainder) ? Step() : 0); }
    Wide ExtraForCount(int blanks) const
    {
        return Wide(perBlank) * blanks + (remainder != 0 ? Step() * std::min(blanks, std::abs(remainder)) : 0);
    }
};

Justification JustificationOf(const TCanvasState& st)
{
    if (st.TextJustifyBreaks <= 0 || st.TextJustifyExtra == 0)
        return {};
    return {st.TextJustifyExtra / st.TextJustifyBreaks, st.TextJustifyExtra % st.TextJustifyBreaks};
}

// Width of a run of text as it is drawn (justification included).
int Extent(const QFontMetrics& fm, const Justification& j, QStringView s)
{
    if (s.isEmpty())
        return 0;
    Wide w = fm.horizontalAdvance(s.toString());
    if (j.Active())
        w += j.ExtraForCount(int(s.count(kBlank)));
    return ClampToInt(w);
}

// How many leading characters of s fit into maxWidth. Widths add up
// character by character (no shaping or kerning), so a running sum finds the
// answer without measuring long prefixes; one or two measurements confirm it.
int CharsFit(const QFontMetrics& fm, const Justification& j, QStringView s, int maxWidth)
{
    int n = 0;
    Wide sum = 0;
    int blanks = 0;
    for (; n < s.size(); ++n) {
        Wide advance = fm.horizontalAdvance(s[n]);
        if (s[n] == kBlank && j.Active())
            advance += j.ExtraFor(blanks++);
        if (sum + advance > maxWidth)
            break;
        sum += advance;
    }
    while (n > 0 && Extent(fm, j, s.left(n)) > maxWidth)
        --n;
    while (n < s.size() && Extent(fm, j, s.left(n + 1)) <= maxWidth)
        ++n;
    // Never split a surrogate pair.
    if (n > 0 && n < s.size() && s[n - 1].isHighSurrogate())
        --n;
    return n;
}

// Corner form: a width would overflow for rectangles spanning the plane.
QRect ToQRect(const TRect& r)
{
    return r.IsEmpty() ? QRect() : QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
}

TTextMetric MetricsOf(const TextFont& tf)
{
    TTextMetric tm;
    tm.tmAscent = tf.fm.ascent();
    tm.tmDescent = tf.fm.descent();
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = tm.tmHeight - tf.font.pixelSize();
    tm.tmExternalLeading = std::max(0, tf.fm.leading());
    tm.tmAveCharWidth = tf.fm.averageCharWidth();
    tm.tmMaxCharWidth = tf.fm.maxWidth();
    return tm;
}

// Draws the runs between blanks one by one when justification widens the
// blanks; otherwise the whole string in one go.
void DrawRuns(QPainter& p, const TextFont& tf, const Justification& j, const QString& s)
{
    const int baseline = tf.fm.ascent();
    if (!j.Active()) {
        p.drawText(QPoint(0, baseline), s);
        return;
    }
    Wide x = 0;
    int blank = 0;
    int start = 0;
    for (int i = 0; i <= s.size() && std::abs(x) < kFar; ++i) {
        if (i < s.size() && s[i] != kBlank)
            continue;
        if (i > start) {
            const QString run = s.mid(start, i - start);
            p.drawText(QPoint(int(x), baseline), run);
            x += tf.fm.horizontalAdvance(run);
        }
        if (i < s.size())
            x += tf.fm.horizontalAdvance(kBlank) + j.ExtraFor(blank++);
        start = i + 1;
    }
}

struct WidePoint {
    Wide x;
    Wide y;
};

// Whether an unrotated text cell at device point at can touch the clip at
// all. Glyphs may overhang their cell a little (italics, wide bearings), so
// allow a cell height of slack on each side.
bool CellMayShow(const QRegion& clip, const TextFont& tf, WidePoint at, int width)
{
    if (tf.escapement % 3600 != 0)
        return true;
    const Wide h = tf.fm.height();
    const QRect box = clip.boundingRect();
    return at.x - h < Wide(box.left()) + box.width() && at.x + width + h > box.left() &&
           at.y - h < Wide(box.top()) + box.height() && at.y + 2 * h > box.top();
}

struct LinePaint {
    WidePoint at;          // logical top-left of the text cell
    const QString& text;
    const TRect* clip;     // logical; nullptr for none
    int underline;         // index of the underlined character, or -1
};

// canvasClip: the canvas's drawable area in device coordinates.
void PaintTextLine(QImage& img, const TCanvasState& st, const QRegion& canvasClip, const TextFont& tf,
                   const LinePaint& line)
{
    if (line.text.isEmpty())
        return;
    QRegion clip = canvasClip;
    if (line.clip)
        clip &= ToQRect(line.clip->Offset(st.ViewportOrg.x, st.ViewportOrg.y));
    const Justification j = JustificationOf(st);
    const int width = Extent(tf.fm, j, line.text);
    const WidePoint device{line.at.x + st.ViewportOrg.x, line.at.y + st.ViewportOrg.y};
    if (std::abs(device.x) > kFar || std::abs(device.y) > kFar)
        return;
    if (clip.isEmpty() || !CellMayShow(clip, tf, device, width))
        return;

    QPainter p(&img);
    p.setClipRegion(clip);
    p.translate(int(device.x), int(device.y));
    if (tf.escapement % 3600 != 0)
        p.rotate(-tf.escapement / 10.0);
    if (st.BkMode == bkOpaque)
        p.fillRect(QRect(0, 0, width, tf.fm.height()), QColor::fromRgb(ColorToPixel(st.BkColor)));
    const QColor color = QColor::fromRgb(ColorToPixel(st.FontColor));
    p.setFont(tf.font);
    p.setPen(color);
    DrawRuns(p, tf, j, line.text);
    if (line.underline >= 0 && line.underline < line.text.size()) {
        // One pixel under the baseline, the character's advance less one.
        const Wide from = Extent(tf.fm, j, QStringView(line.text).left(line.underline));
        const Wide to = Wide(Extent(tf.fm, j, QStringView(line.text).left(line.underline + 1))) - 1;
        if (to > from && std::abs(from) < kFar && std::abs(to) < kFar)
            p.fillRect(QRect(int(from), tf.fm.ascent() + 1, int(to - from), 1), color);
    }
}

// One line of DrawText output: the visible text (prefixes resolved), the
// index of the underlined character, and its width.
struct LaidLine {
    QString text;
    int underline = -1;
    int width = 0;
};

// Cuts the string into the lines DrawText shows: hard line ends (CR, LF,
// CR LF, LF CR), "&" prefixes, word breaks and the end ellipsis.
class LineSource {
public:
    LineSource(const QString& s, unsigned flags, int maxWidth, const QFontMetrics& fm, const Justification& j)
        : src_(s), flags_(flags), maxWidth_(maxWidth), fm_(fm), j_(j)
    {
    }

    bool AtEnd() const { return !inHardLine_ && pos_ >= src_.size(); }

    // lastVisible: no line follows this one on the output, so remaining text
    // is announced by the ellipsis.
    LaidLine Next(bool lastVisible)
    {
        if (!inHardLine_)
            LoadHardLine();
        LaidLine line = TakePiece();
        if (hardPos_ >= hard_.size())
            inHardLine_ = false;
        line.width = Extent(fm_, j_, line.text);
        if (NeedsEllipsis(line, lastVisible))
            Ellipsify(line);
        return line;
    }

private:
    void LoadHardLine()
    {
        const int n = int(src_.size());
        int end = pos_;
        if (!(flags_ & DT_SINGLELINE))
            while (end < n && src_[end] != u'\r' && src_[end] != u'\n')
                ++end;
        else
            end = n;
        const QStringView raw = QStringView(src_).mid(pos_, end - pos_);
        int next = end;
        if (end < n) {
            next = end + 1;
            // CR LF and LF CR end one line; CR CR or LF LF end two.
            if (next < n && (src_[next] == u'\r' || src_[next] == u'\n') && src_[next] != src_[end])
                ++next;
        }
        pos_ = next;
        ResolvePrefixes(raw, end == n);
        hardPos_ = 0;
        inHardLine_ = true;
    }

    // "&&" shows one "&"; "&x" shows x underlined (the last such character of
    // the line wins); a lone "&" at the very end of the string shows itself.
    void ResolvePrefixes(QStringView raw, bool endsString)
    {
        hardUnderline_ = -1;
        if (flags_ & DT_NOPREFIX) {
            hard_ = raw.toString();
            return;
        }
        TPrefixedText r = ::ResolvePrefixes(raw);
        hard_ = std::move(r.text);
        hardUnderline_ = r.last;
        if (r.dangling && endsString)
            hard_ += kPrefix;
    }

    // The next piece of the current hard line: all of it, or with
    // DT_WORDBREAK as much as fits, broken after a blank. Left-aligned lines
    // keep the blank they break at; centred and right-aligned ones drop it.
    // One blank at the break is consumed. A word wider than the line
    // overflows whole.
    LaidLine TakePiece()
    {
        const QStringView rest = QStringView(hard_).mid(hardPos_);
        const int len = int(rest.size());
        int lineLen = len;
        int used = len;
        if ((flags_ & DT_WORDBREAK) && len > 0) {
            const int fit = CharsFit(fm_, j_, rest, maxWidth_);
            if (fit < len)
                BreakAt(rest, fit, lineLen, used);
        }
        LaidLine line;
        line.text = rest.left(lineLen).toString();
        const int u = hardUnderline_ - hardPos_;
        line.underline = (u >= 0 && u < lineLen) ? u : -1;
        hardPos_ += used;
        return line;
    }

    void BreakAt(QStringView t, int fit, int& lineLen, int& used) const
    {
        const int len = int(t.size());
        int p = fit;
        bool found = false;
        if (fit > 0 && t[fit] == kBlank) {
            p = fit - 1; // the word just fitted
            found = true;
        } else if (fit > 0) {
            while (p > 0 && t[--p] != kBlank) {
            }
            found = p > 0 || t[0] == kBlank;
        }
        if (found) {
            if (!(flags_ & (DT_RIGHT | DT_CENTER)) || t[p] != kBlank)
                ++p;
            lineLen = p;
            used = (p < len && t[p] == kBlank) ? p + 1 : p;
            return;
        }
        // Not even the first word fits: it overflows whole.
        const int end = int(t.indexOf(kBlank));
        lineLen = end < 0 ? len : end;
        used = end < 0 ? len : end + 1;
    }

    bool NeedsEllipsis(const LaidLine& line, bool lastVisible) const
    {
        if (!(flags_ & DT_END_ELLIPSIS))
            return false;
        if (lastVisible && !AtEnd())
            return true;
        // A too-wide word inside wrapped text is only clipped.
        return line.width > maxWidth_ && (!(flags_ & DT_WORDBREAK) || AtEnd());
    }

    void Ellipsify(LaidLine& line) const
    {
        const int room = ClampToInt(Wide(maxWidth_) - Extent(fm_, j_, kEllipsis));
        const int keep = room > 0 ? CharsFit(fm_, j_, line.text, room) : 0;
        line.text = line.text.left(keep) + kEllipsis;
        if (line.underline >= keep)
            line.underline = -1;
        line.width = Extent(fm_, j_, line.text);
    }

    const QString& src_;
    unsigned flags_;
    int maxWidth_;
    const QFontMetrics& fm_;
    const Justification& j_;
    int pos_ = 0;           // first character of src_ not yet cut into a hard line
    QString hard_;          // the current hard line, prefixes resolved
    int hardUnderline_ = -1;
    int hardPos_ = 0;       // first character of hard_ not yet shown
    bool inHardLine_ = false;
};

} // namespace

TCanvas::FontColorLink::FontColorLink(TCanvas& canvas) : seen(canvas.font_.Color())
{
    canvas.font_.OnChange = [&canvas] {
        FontColorLink& link = canvas.fontColorLink_;
        if (canvas.font_.Color() == link.seen)
            return;
        link.seen = canvas.font_.Color();
        canvas.state_.FontColor = link.seen;
    };
}

const THFont* TCanvas::SelectFont(const THFont* f)
{
    const THFont* old = state_.SelectedFont;
    state_.SelectedFont = f;
    return old;
}

QFont TCanvas::CurrentQtFont() const
{
    return state_.SelectedFont ? state_.SelectedFont->QtFont() : font_.QtFont();
}

void TCanvas::TextOut(int x, int y, const QString& s)
{
    if (!target_ || target_->isNull() || s.isEmpty())
        return;
    const TextFont tf(CurrentQtFont(), state_.SelectedFont ? state_.SelectedFont->Escapement() : 0);
    PaintTextLine(*target_, state_, DeviceClipRegion().ToQRegion(), tf, {{x, y}, s, nullptr, -1});
}

int TCanvas::TextWidth(const QString& s) const
{
    return Extent(QFontMetrics(CurrentQtFont()), JustificationOf(state_), s);
}

int TCanvas::TextHeight(const QString&) const { return GetTextMetrics().tmHeight; }

TTextMetric TCanvas::GetTextMetrics() const { return MetricsOf(TextFont(CurrentQtFont(), 0)); }

void TCanvas::SetTextJustification(int extra, int breakCount)
{
    const bool reset = breakCount <= 0 || extra == 0;
    state_.TextJustifyExtra = reset ? 0 : extra;
    state_.TextJustifyBreaks = reset ? 0 : breakCount;
}

int TCanvas::DrawText(const QString& s, TRect& r, unsigned flags)
{
    if (flags & DT_SINGLELINE)
        flags &= ~unsigned(DT_WORDBREAK);
    const bool calc = flags & DT_CALCRECT;
    const TextFont tf(CurrentQtFont(), state_.SelectedFont ? state_.SelectedFont->Escapement() : 0);
    const TTextMetric tm = MetricsOf(tf);
    const int lh = tm.tmHeight + ((flags & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);

    if (s.isEmpty()) {
        const int h = (flags & DT_SINGLELINE) ? lh : 0;
        if (calc) {
            r.Right = r.Left;
            r.Bottom = ClampToInt(Wide(r.Top) + h);
        }
        return h;
    }

    const bool paint = !calc && target_ && !target_->isNull();
    const QRegion canvasClip = paint ? DeviceClipRegion().ToQRegion() : QRegion();
    const Justification j = JustificationOf(state_);
    const Wide left = r.Left;
    const Wide top = r.Top;
    const Wide right = r.Right;
    const Wide bottom = r.Bottom;
    LineSource lines(s, flags, ClampToInt(right - left), tf.fm, j);
    Wide y = top;
    int widest = 0;
    bool last = false;
    do {
        // Clipped output ends with the first line that crosses the bottom.
        last = !calc && !(flags & DT_NOCLIP) && y + lh > bottom;
        const LaidLine line = lines.Next(last);
        widest = std::max(widest, line.width);
        if (!calc) {
            Wide x = left;
            if (flags & DT_CENTER)
                x = (left + right - line.width) / 2;
            else if (flags & DT_RIGHT)
                x = right - line.width;
            if (flags & DT_SINGLELINE) {
                if (flags & DT_VCENTER)
                    y = top + (bottom - top) / 2 - tm.tmHeight / 2;
                else if (flags & DT_BOTTOM)
                    y = bottom - tm.tmHeight;
            }
            if (paint)
                PaintTextLine(*target_, state_, canvasClip, tf,
                              {{x, y}, line.text, (flags & DT_NOCLIP) ? nullptr : &r, line.underline});
        }
        y += lh;
    } while (!lines.AtEnd() && !last);

    if (calc) {
        r.Right = ClampToInt(left + widest);
        r.Bottom = ClampToInt(y);
    }
    return ClampToInt(y - top);
}
