#include "toolkit/ImageStore.h"

namespace vorlatek::toolkit {

ImageStore::ImageStore(std::shared_ptr<ImageSource> source) : source_(std::move(source)) {}

Ref<CBitmap> ImageStore::bitmap(int id) {
    if (auto found = bitmaps_.find(id); found != bitmaps_.end()) return found->second;
    auto created = make<CBitmap>(source_, id);
    if (!created->surfaceFor(scale_)) return nullptr;
    bitmaps_.emplace(id, created);
    return created;
}

}  // namespace vorlatek::toolkit
