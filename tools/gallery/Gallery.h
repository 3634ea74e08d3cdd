#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

// One picture of the gallery: a name (the PNG file's base name) and a
// function that draws it.
struct GalleryScene {
    QString name;
    std::function<QImage()> render;
};

// All scenes, in registration order. Scene files (scenes_*.cpp) add theirs
// with a static GalleryRegistrar.
std::vector<GalleryScene>& GalleryScenes();

struct GalleryRegistrar {
    GalleryRegistrar(const QString& name, std::function<QImage()> render)
    {
        GalleryScenes().push_back({name, std::move(render)});
    }
};
