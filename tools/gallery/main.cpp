#include "tools/gallery/Gallery.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>
#include <cstring>

// Shows every registered scene on screen, or with --png DIR writes each scene
// as DIR/<name>.png without a display.
int main(int argc, char** argv)
{
    const char* pngDir = nullptr;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc)
            pngDir = argv[++i];
    if (pngDir && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    if (pngDir) {
        QDir().mkpath(QString::fromLocal8Bit(pngDir));
        int failed = 0;
        for (const GalleryScene& scene : GalleryScenes()) {
            const QImage img = scene.render();
            const QString path = QString::fromLocal8Bit(pngDir) + QLatin1Char('/') + scene.name + QStringLiteral(".png");
            if (!img.save(path)) {
                std::fprintf(stderr, "gallery: cannot write %s\n", qPrintable(path));
                ++failed;
            } else {
                std::printf("%s\n", qPrintable(path));
            }
        }
        return failed ? 1 : 0;
    }

    QScrollArea area;
    auto* page = new QWidget;  // owned by the scroll area
    auto* layout = new QVBoxLayout(page);
    for (const GalleryScene& scene : GalleryScenes()) {
        auto* title = new QLabel(scene.name, page);
        auto* pic = new QLabel(page);
        pic->setPixmap(QPixmap::fromImage(scene.render()));
        layout->addWidget(title);
        layout->addWidget(pic);
    }
    area.setWidget(page);
    area.resize(900, 700);
    area.setWindowTitle(QStringLiteral("Ладотон: gallery"));
    area.show();
    return QApplication::exec();
}
