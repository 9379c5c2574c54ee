#pragma once
// A push button of the built-in file browser, drawn with its caption and no bitmap. It is lit
// while pressed with the pointer over it and reports to its listener once, when released over
// it; a press dragged off and released elsewhere does nothing.

#include <string>
#include <string_view>

#include "toolkit/CControl.h"

namespace vorlatek::editor {

class FileBrowserButton : public toolkit::CControl {
public:
    FileBrowserButton(const toolkit::Rect& size, toolkit::IControlListener* listener, int tag, std::string_view caption);

    const std::string& caption() const { return caption_; }
    void setCaption(std::string_view caption);

    void draw(toolkit::DrawContext& context) override;
    void onMouseMoved(const toolkit::MouseEvent& event) override;
    void onMouseUp(const toolkit::MouseEvent& event) override;
    void onMouseCancelled() override;

protected:
    toolkit::MouseResult mouseDown(const toolkit::MouseEvent& event) override;

private:
    std::string caption_;
    bool tracking_ = false;
};

}  // namespace vorlatek::editor
