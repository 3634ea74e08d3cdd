#pragma once

#include <QIcon>
#include <QImage>

// The program's icon: a light grey treble clef on a dark ground, drawn on a
// 32 x 32 grid in the sixteen classic colours. The window shows it at that
// size; the desktop's icon theme gets the same drawing at other sizes.
QImage AppIconImage(int size = 32);
QIcon AppIcon();
