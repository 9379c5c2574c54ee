#pragma once
// Bitmaps by numeric id, one shared CBitmap per id for as long as the store lives. A store
// belongs to one editor; nothing is shared between plug-in instances.

#include <map>
#include <memory>

#include "toolkit/CBitmap.h"

namespace vorlatek::toolkit {

class ImageStore {
public:
    explicit ImageStore(std::shared_ptr<ImageSource> source);

    // The scale the frame draws at; lookups ask the source for pictures at this scale first.
    void setScale(double scale) { scale_ = scale; }
    double scale() const { return scale_; }

    // The bitmap with this id, or null when the source has no such picture.
    Ref<CBitmap> bitmap(int id);

private:
    std::shared_ptr<ImageSource> source_;
    double scale_ = 1.0;
    std::map<int, Ref<CBitmap>> bitmaps_;
};

}  // namespace vorlatek::toolkit
