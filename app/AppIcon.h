#pragma once

#include <QIcon>
#include <QImage>

// The program's icon: a light grey treble clef on a dark ground, 32 x 32 in
// the sixteen classic colours.
QImage AppIconImage();
QIcon AppIcon();
