#pragma once

#include "controls/shaped/fctext.h"

#include <QString>

#include <functional>
#include <stdexcept>
#include <vector>

// A caption whose DrawTextLines records each pass (rectangle and text
// colour) instead of drawing, so passes and their order can be checked
// independently of font rendering. It can also throw on the n-th pass.
class RecordingText : public TfcCaptionText {
public:
    struct Pass {
        TRect rect;
        TColor color;
        friend bool operator==(const Pass&, const Pass&) = default;
    };

    using TfcCaptionText::TfcCaptionText;

    void DrawTextLines(const TRect& r) override
    {
        if (throwOnPass >= 0 && int(passes.size()) == throwOnPass)
            throw std::runtime_error("drawing failed");
        passes.push_back({r, GetCanvas()->TextColor()});
        if (onPass)
            onPass(*this);
    }

    std::vector<Pass> passes;
    int throwOnPass = -1;
    std::function<void(RecordingText&)> onPass;
};

// A caption that draws for real but can throw on the n-th pass.
class FailingText : public TfcCaptionText {
public:
    using TfcCaptionText::TfcCaptionText;

    void DrawTextLines(const TRect& r) override
    {
        if (passCount++ == throwOnPass)
            throw std::runtime_error("drawing failed");
        TfcCaptionText::DrawTextLines(r);
    }

    int passCount = 0;
    int throwOnPass = 0;
};

// The caption font of the main window's keys.
inline void SetKeyFont(TFont& f)
{
    f.SetName(QStringLiteral("Times New Roman"));
    f.SetHeight(-11);
    f.SetStyle(fsBold);
    f.SetCharset(RUSSIAN_CHARSET);
}
