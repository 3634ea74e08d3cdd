#include "app/AppIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// The side of the grid the clef is drawn on.
constexpr int kGrid = 32;

} // namespace

QImage AppIconImage(int size)
{
    if (size <= 0)
        return QImage();
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(QColor(0, 0, 0));
    QPainter p(&img);
    // Hard edges at the grid's own size: the window's icon keeps to its
    // sixteen colours. Scaled, the hand-placed pixels no longer fall on
    // whole pixels, and smoothing keeps the strokes even.
    p.setRenderHint(QPainter::Antialiasing, size != kGrid);
    if (size != kGrid)
        p.scale(qreal(size) / kGrid, qreal(size) / kGrid);
    const QColor grey(192, 192, 192);

    // The clef drawn as one stroke: from the bottom curl up the stem, round
    // the top loop, down across the stem and into the spiral round the
    // second line of the staff.
    QPainterPath clef;
    clef.moveTo(12, 27);
    clef.cubicTo(12, 30, 17, 30, 17, 27);
    clef.lineTo(15, 5);
    clef.cubicTo(15, 1, 20, 1, 19, 6);
    clef.cubicTo(18, 10, 10, 14, 9, 19);
    clef.cubicTo(8, 25, 22, 26, 22, 19);
    clef.cubicTo(22, 14, 14, 14, 14, 19);
    clef.cubicTo(14, 21, 16, 22, 17, 21);
    p.setPen(QPen(grey, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(clef);
    p.setBrush(grey);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRect(11, 25, 4, 4));
    return img;
}

QIcon AppIcon()
{
    return QIcon(QPixmap::fromImage(AppIconImage()));
}
