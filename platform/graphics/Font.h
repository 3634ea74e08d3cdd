#pragma once

#include "platform/core/Colors.h"

#include <QFont>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

// Font style set.
enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t;

// Character sets of the logical-font record.
enum : std::uint8_t {
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    RUSSIAN_CHARSET = 204,
};

// Logical-font record fields that the controls fill in.
enum : std::uint8_t {
    OUT_DEFAULT_PRECIS = 0,
    OUT_TT_PRECIS = 4,
    OUT_TT_ONLY_PRECIS = 7,
    CLIP_DEFAULT_PRECIS = 0,
    DEFAULT_QUALITY = 0,
    PROOF_QUALITY = 2,
    DEFAULT_PITCH = 0,
    VARIABLE_PITCH = 2,
};
enum : int { FW_NORMAL = 400, FW_BOLD = 700 };

struct TLogFont {
    int lfHeight = 0;       // < 0: character (em) height in pixels; > 0: cell height
    int lfWidth = 0;
    int lfEscapement = 0;   // tenths of a degree, counter-clockwise
    int lfOrientation = 0;
    int lfWeight = FW_NORMAL;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = DEFAULT_CHARSET;
    std::uint8_t lfOutPrecision = OUT_DEFAULT_PRECIS;
    std::uint8_t lfClipPrecision = CLIP_DEFAULT_PRECIS;
    std::uint8_t lfQuality = DEFAULT_QUALITY;
    std::uint8_t lfPitchAndFamily = DEFAULT_PITCH;
    QString lfFaceName;     // at most 31 characters are used
};

// A created logical font (what CreateFontIndirect returns). Owned by whoever
// created it; a canvas only borrows it while it is selected. The live count
// lets tests prove that every created font is released.
class THFont {
public:
    explicit THFont(const TLogFont& lf);
    ~THFont();
    THFont(const THFont&) = delete;
    THFont& operator=(const THFont&) = delete;

    const TLogFont& LogFont() const { return lf_; }
    const QFont& QtFont() const { return qfont_; }
    // Escapement in tenths of a degree (rotation of the baseline).
    int Escapement() const { return lf_.lfEscapement; }

    static int LiveCount();

private:
    TLogFont lf_;
    QFont qfont_;
};

std::unique_ptr<THFont> CreateFontIndirect(const TLogFont& lf);

// Starts reading the font configuration on a thread of its own. The first
// text a program lays out waits for that reading (a fifth of the start-up
// work); begun before the application object, it runs while the window
// system connection and the windows are being set up.
std::thread StartLoadingFontConfiguration();

// Turns a face name, height and style into a Qt font: a negative height is the
// em height in pixels; known Windows face names map onto installed metric
// twins; a face that does not exist falls back to the default sans face.
QFont MakeQtFont(const QString& face, int height, int weight, bool italic, bool underline, bool strikeOut);

// The framework's font object: name, height, style, charset and colour, with
// a change notification. Setters that change nothing do nothing.
class TFont {
public:
    TFont();

    const QString& Name() const { return name_; }
    void SetName(const QString& v);
    int Height() const { return height_; }
    void SetHeight(int v);
    // Size in points at 96 dpi; Height = -Size * 96 / 72.
    int Size() const;
    void SetSize(int points);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles v);
    std::uint8_t Charset() const { return charset_; }
    void SetCharset(std::uint8_t v);
    TColor Color() const { return color_; }
    void SetColor(TColor v);

    // Copies every attribute (one change notification at most).
    void Assign(const TFont& other);
    bool SameAs(const TFont& other) const;

    // The logical font this object stands for (escapement 0).
    TLogFont ToLogFont() const;
    QFont QtFont() const;

    std::function<void()> OnChange;

private:
    void Changed();

    QString name_;
    int height_;
    TFontStyles style_ = 0;
    std::uint8_t charset_ = DEFAULT_CHARSET;
    TColor color_ = clWindowText;
};

// Text metrics of a font, in pixels.
struct TTextMetric {
    int tmHeight = 0;           // ascent + descent
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;  // tmHeight - em height
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
};
