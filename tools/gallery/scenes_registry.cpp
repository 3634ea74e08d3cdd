#include "tools/gallery/Gallery.h"

std::vector<GalleryScene>& GalleryScenes()
{
    static std::vector<GalleryScene> scenes;
    return scenes;
}
