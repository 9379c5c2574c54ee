#include "toolkit/DrawContext.h"

#include <string>

#include "toolkit/Utf8.h"

namespace vorlatek::toolkit {

DrawContext::Scope::Scope(DrawContext& context, Point offset, const Rect& clip)
    : context_(context), savedVisible_(context.visible_) {
    cairo_t* cr = context.cr_;
    cairo_save(cr);
    cairo_rectangle(cr, clip.left, clip.top, clip.width(), clip.height());
    cairo_clip(cr);
    cairo_translate(cr, offset.x, offset.y);
    context.visible_ = context.visible_.intersect(clip).offset(-offset.x, -offset.y);
}

DrawContext::Scope::~Scope() {
    cairo_restore(context_.cr_);
    context_.visible_ = savedVisible_;
}

void DrawContext::setColor(Color c) {
    cairo_set_source_rgba(cr_, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void DrawContext::fillRect(const Rect& r, Color color) {
    if (r.isEmpty() || !color.isVisible()) return;
    setColor(color);
    cairo_rectangle(cr_, r.left, r.top, r.width(), r.height());
    cairo_fill(cr_);
}

void DrawContext::frameRect(const Rect& r, Color color) {
    if (r.isEmpty() || !color.isVisible()) return;
    setColor(color);
    cairo_set_line_width(cr_, 1.0);
    cairo_rectangle(cr_, r.left + 0.5, r.top + 0.5, r.width() - 1.0, r.height() - 1.0);
    cairo_stroke(cr_);
}

double DrawContext::baseline(const Rect& r, int font) const {
    const double ascent = fonts_.ascent(font);
    const double descent = fonts_.descent(font);
    return r.top + (r.height() - (ascent + descent)) / 2.0 + ascent;
}

void DrawContext::drawTextAt(std::string_view validText, double x, const Rect& r, int font, Color color) {
    if (validText.empty() || r.isEmpty() || !color.isVisible()) return;
    const std::string terminated(validText);
    cairo_save(cr_);
    cairo_rectangle(cr_, r.left, r.top, r.width(), r.height());
    cairo_clip(cr_);
    fonts_.select(cr_, font);
    setColor(color);
    cairo_move_to(cr_, x, baseline(r, font));
    cairo_show_text(cr_, terminated.c_str());
    cairo_restore(cr_);
}

void DrawContext::drawText(std::string_view text, const Rect& r, int font, Color color, HorizontalAlign align,
                           int padding) {
    if (text.empty()) return;
    const std::string valid = utf8::sanitize(text);
    const double width = fonts_.textWidth(valid, font);
    double x = r.left + padding;
    if (align == HorizontalAlign::Center)
        x = r.left + (r.width() - width) / 2.0;
    else if (align == HorizontalAlign::Right)
        x = r.right - padding - width;
    drawTextAt(valid, x, r, font, color);
}

}  // namespace vorlatek::toolkit
