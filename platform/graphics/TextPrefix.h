#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>

// The "&" prefix rule of the text drawing, written once for everything that
// shows or reacts to a caption: "&&" stands for a literal "&", a single "&"
// marks the character after it and is not shown.

struct TPrefixedText {
    QString text;          // what is shown: "&&" as "&", single prefixes removed
    int first = -1;        // index in text of the character the first single "&" marks
    int last = -1;         // the same for the last one (the text drawing underlines it)
    bool dangling = false; // the string ends in a single "&" that marks nothing
};

TPrefixedText ResolvePrefixes(QStringView s);

// The character the first single "&" marks (the caption's accelerator), or
// none: "R&&B &Go" gives 'G'; "&&", "&" and "a&" give none.
std::optional<QChar> AcceleratorOf(QStringView caption);

// Whether a typed character is the caption's accelerator (case folded).
bool IsAcceleratorOf(QStringView caption, QChar ch);
