// Writes the program's icon into an icon-theme tree, one PNG per size:
//   render-icon OUTDIR NAME SIZE...  ->  OUTDIR/<SIZE>x<SIZE>/apps/NAME.png
// The build runs it, so the installed icons are always the drawing the
// program itself shows. Painting into an image needs no display, so no
// window-system plugin is loaded.

#include "app/AppIcon.h"

#include <QDir>
#include <QCoreApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: render-icon OUTDIR NAME SIZE...\n");
        return 2;
    }
    const QString outDir = args.at(1);
    const QString name = args.at(2);
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size <= 0 || size > 1024) {
            std::fprintf(stderr, "render-icon: not a size: %s\n", qPrintable(args.at(i)));
            return 2;
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
        const QString file = dir + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(dir) || !AppIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "render-icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
