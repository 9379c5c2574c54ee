#include "toolkit/HeadlessWindow.h"

#include <cstring>
#include <memory>

#include "toolkit/CFrame.h"
#include "toolkit/Utf8.h"

namespace vorlatek::toolkit {

HeadlessWindow& HeadlessWindow::openOn(CFrame& frame, std::uint32_t startTicks) {
    auto window = std::make_unique<HeadlessWindow>(startTicks);
    HeadlessWindow& result = *window;
    result.frame_ = &frame;
    frame.open(std::move(window));
    return result;
}

void HeadlessWindow::press(double x, double y, unsigned buttons) { frame_->windowMouseDown(x, y, buttons); }
void HeadlessWindow::move(double x, double y, unsigned buttons) { frame_->windowMouseMoved(x, y, buttons); }
void HeadlessWindow::release(double x, double y, unsigned buttons) { frame_->windowMouseUp(x, y, buttons); }

void HeadlessWindow::click(double x, double y, unsigned buttons) {
    press(x, y, buttons);
    release(x, y, buttons & ~kMouseButtons);
}

void HeadlessWindow::wheel(double x, double y, float notches, unsigned buttons) {
    frame_->windowMouseWheel(x, y, notches, buttons);
}

bool HeadlessWindow::key(VirtualKey k, unsigned modifiers) { return frame_->windowKeyDown({k, 0, modifiers}); }

bool HeadlessWindow::type(char32_t character, unsigned modifiers) {
    return frame_->windowKeyDown({VirtualKey::None, character, modifiers});
}

void HeadlessWindow::typeText(const std::string& text) {
    for (char32_t cp : utf8::codePoints(text)) type(cp);
}

void HeadlessWindow::processEvents(CFrame& frame) {
    if (clipboardRequested_) {
        clipboardRequested_ = false;
        frame.clipboardTextArrived(clipboard_);
    }
}

void HeadlessWindow::present(cairo_surface_t* image, const Rect* rects, int count) {
    image_ = image;
    presented_.assign(rects, rects + count);
    ++presentCount_;
}

Color HeadlessWindow::pixel(int x, int y) const {
    if (!image_ || x < 0 || y < 0 || x >= cairo_image_surface_get_width(image_) ||
        y >= cairo_image_surface_get_height(image_))
        return kBlack;
    const unsigned char* row = cairo_image_surface_get_data(image_) + std::size_t(y) * cairo_image_surface_get_stride(image_);
    std::uint32_t p;
    std::memcpy(&p, row + 4 * x, 4);
    return Color{std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p), 255};
}

bool HeadlessWindow::writePng(const std::string& path) const {
    return image_ && cairo_surface_write_to_png(image_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace vorlatek::toolkit
