#pragma once

// The trainer's rules apart from its windows: how pitches are named and
// numbered, which typed letters play which key, how the notes exercise words
// its result, how an interval question is drawn, and how the settings fields
// are read. Everything here is plain data in, plain data out.

#include "platform/core/Types.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <cstdint>

// Twelve semitones to the octave; 0 is ДО, 11 is СИ.
inline constexpr int kSemitonesPerOctave = 12;
// The octave the program starts in ("первая октава").
inline constexpr int kStartOctave = 4;
// Every note is struck as hard as the instrument allows.
inline constexpr int kFullVelocity = 127;
// Note-on, MIDI channel 1.
inline constexpr int kNoteOnStatus = 0x90;

// The nine octave names, lowest first.
const QStringList& OctaveNames();

// The MIDI note number of a semitone (possibly above 11, for the second note
// of an interval) in an octave.
constexpr int NoteNumberOf(int octave, int semitone)
{
    return octave * kSemitonesPerOctave + semitone;
}

// Octave arrows: the next index, or the same one at the end of the list.
int OctaveBelow(int octave);
int OctaveAbove(int octave, int octaveCount);

// The semitone a typed character plays, or -1. The character is compared
// through its Windows-1251 byte with the Latin and Cyrillic letters of the
// bottom two letter rows; a character the code page lacks matches nothing,
// and so does anything typed with Ctrl or Alt held (those are shortcuts, not
// notes).
int SemitoneForTypedChar(QChar typed, bool ctrlOrAltHeld);

// The message box that ends a notes exercise.
struct TResultBox {
    QString text;
    QString caption;
};
TResultBox NotesResultBox(int rightCount, int sequenceLength);

// One interval question: the first note's semitone and the second note's
// offset from ДО of the same octave (up to 15, in the next octave).
struct TIntervalQuestion {
    int firstNote = 0;
    int secondNote = 0;
    int Distance() const { return firstNote > secondNote ? firstNote - secondNote : secondNote - firstNote; }
};
// Draws a question from the process-wide random generator: the first note,
// then a distance 0..4 taken downwards when that stays in the octave and
// upwards otherwise. Equal notes would leave no right answer among 1 to 4, so
// the second note is drawn again above the first until they differ.
TIntervalQuestion DrawIntervalQuestion();

// A settings field's number from its text: text that is no whole number
// counts as the minimum; a number outside min..max counts as the nearer bound.
int SettingFromText(const QString& text, int minValue, int maxValue);

// Where a dialog goes: at its designed place, moved just enough to lie inside
// the available area of the screen when it would stick out there (and to the
// area's top-left when it is larger than the area).
TPoint PlaceInside(const TRect& designed, const TRect& available);
