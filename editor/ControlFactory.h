#pragma once
// Builds widgets from layout entries by name: the widget of the entry's class with its
// rectangle, bitmap, tag and listener, its initial value read from the plug-in, its font and
// colours, attached to a parent container or to the frame. A name the layout does not hold
// builds nothing, and every caller copes with that.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/GuiLayout.h"
#include "toolkit/CFrame.h"
#include "toolkit/IControlListener.h"
#include "toolkit/ImageStore.h"
#include "toolkit/Ref.h"

namespace vorlatek::editor {

class ControlFactory {
public:
    // The plug-in's value for a tag: 0..110 a parameter, 0 for every other tag.
    using ValueSource = std::function<float(int tag)>;

    ControlFactory(const GuiLayout& layout, toolkit::ImageStore& images, toolkit::CFrame& frame,
                   toolkit::IControlListener* listener, ValueSource values);

    // The control named `name`, attached to `parent` (the frame when null) unless `attach`
    // is false; null when the layout has no such entry. A `CViewContainer` entry makes a
    // window instead: the size of its bitmap, centred in the frame, never attached here.
    toolkit::Ref<toolkit::CView> create(std::string_view name, toolkit::CViewContainer* parent = nullptr,
                                        bool attach = true);
    // The same, as the widget class the caller expects; null when the layout names another.
    template <class T>
    toolkit::Ref<T> create(std::string_view name, toolkit::CViewContainer* parent = nullptr, bool attach = true) {
        toolkit::Ref<toolkit::CView> view = create(name, parent, attach);
        return toolkit::Ref<T>(dynamic_cast<T*>(view.get()));
    }

    const GuiLayout& layout() const { return layout_; }
    // Names asked for that the layout does not hold.
    const std::vector<std::string>& missingNames() const { return missing_; }
    toolkit::ImageStore& images() { return images_; }

private:
    toolkit::Ref<toolkit::CView> build(const LayoutEntry& entry);

    const GuiLayout& layout_;
    toolkit::ImageStore& images_;
    toolkit::CFrame& frame_;
    toolkit::IControlListener* listener_;
    ValueSource values_;
    std::vector<std::string> missing_;
};

}  // namespace vorlatek::editor
