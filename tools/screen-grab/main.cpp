// Saves what the X display shows as a PNG: one window, or the whole screen.
//   screen-grab OUT.png [WINDOW_ID]
// Runs on the display the screenshots are taken from (the xcb platform), so
// the picture is what a person would see, shaped windows and all. Exits with
// 3, writing nothing, while the area is all one colour (a window mapped but
// not painted yet), so a caller can grab again.

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

namespace {

bool IsBlank(const QImage& img)
{
    const QRgb first = img.pixel(0, 0);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != first)
                return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: screen-grab OUT.png [WINDOW_ID]\n");
        return 2;
    }
    WId window = 0;
    if (args.size() == 3) {
        bool ok = false;
        window = args.at(2).toULongLong(&ok, 0);
        if (!ok || window == 0) {
            std::fprintf(stderr, "screen-grab: not a window id: %s\n", qPrintable(args.at(2)));
            return 2;
        }
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        std::fprintf(stderr, "screen-grab: no screen\n");
        return 1;
    }
    const QImage shot = screen->grabWindow(window).toImage().convertToFormat(QImage::Format_RGB32);
    if (!shot.isNull() && IsBlank(shot))
        return 3;
    if (shot.isNull() || !shot.save(args.at(1), "PNG")) {
        std::fprintf(stderr, "screen-grab: cannot grab or write %s\n", qPrintable(args.at(1)));
        return 1;
    }
    return 0;
}
