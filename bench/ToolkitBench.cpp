// Painting speed of the widget toolkit on the headless window, one core: a 900 × 600 frame
// with a background picture and 400 bitmap controls (knobs and LEDs with soft edges drawn
// over it), at scale 1 and 2 (the argument). FullRedraw paints everything; OneKnob paints
// after one knob moved; IdleNothingDirty is an idle pass with nothing to paint.
// Goals: full redraw under 5 ms, idle with nothing dirty under 0.05 ms.

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <memory>
#include <vector>

#include "toolkit/CAnimKnob.h"
#include "toolkit/CFrame.h"
#include "toolkit/CNStateButton.h"
#include "toolkit/HeadlessWindow.h"
#include "toolkit/ImageStore.h"
#include "toolkit/TestImageSource.h"

namespace {

using namespace vorlatek::toolkit;

constexpr int kWidth = 900;
constexpr int kHeight = 600;
constexpr int kKnobFrames = 31;

struct Panel {
    std::shared_ptr<TestImageSource> images = std::make_shared<TestImageSource>();
    ImageStore store{images};
    Ref<CFrame> frame;
    std::vector<Ref<CControl>> controls;
};

std::unique_ptr<Panel> makePanel(double scale) {
    auto panel = std::make_unique<Panel>();
    panel->images->addPicture(100, kWidth, kHeight, [](cairo_t* cr) {
        cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, kHeight);
        cairo_pattern_add_color_stop_rgb(gradient, 0, 0.25, 0.25, 0.27);
        cairo_pattern_add_color_stop_rgb(gradient, 1, 0.12, 0.12, 0.13);
        cairo_set_source(cr, gradient);
        cairo_paint(cr);
        cairo_pattern_destroy(gradient);
    });
    panel->images->addPicture(1, 38, 26 * kKnobFrames, [](cairo_t* cr) {
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
        for (int k = 0; k < kKnobFrames; ++k) {
            const double cy = k * 26 + 13;
            cairo_arc(cr, 19, cy, 12, 0, 2 * M_PI);
            cairo_set_source_rgb(cr, 0.8, 0.8, 0.82);
            cairo_fill(cr);
            const double angle = (225.0 - 270.0 * k / (kKnobFrames - 1)) * M_PI / 180.0;
            cairo_move_to(cr, 19, cy);
            cairo_line_to(cr, 19 + 11 * std::cos(angle), cy - 11 * std::sin(angle));
            cairo_set_source_rgb(cr, 0.9, 0.2, 0.1);
            cairo_stroke(cr);
        }
    });
    panel->images->addPicture(2, 38, 26 * 2, [](cairo_t* cr) {
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
        for (int k = 0; k < 2; ++k) {
            cairo_arc(cr, 19, k * 26 + 13, 7, 0, 2 * M_PI);
            cairo_set_source_rgba(cr, 1.0, 0.15, 0.1, k ? 1.0 : 0.3);
            cairo_fill(cr);
        }
    });
    panel->store.setScale(scale);
    panel->frame = make<CFrame>(Rect{0, 0, kWidth, kHeight});
    panel->frame->setScale(scale);
    panel->frame->setBackground(panel->store.bitmap(100));
    for (int i = 0; i < 400; ++i) {
        const Rect r = Rect::fromSize((i % 20) * 45 + 3, (i / 20) * 30 + 2, 38, 26);
        Ref<CControl> control;
        if (i % 2)
            control = make<CAnimKnob>(r, nullptr, i, kKnobFrames, 26, panel->store.bitmap(1));
        else
            control = make<CNStateButton>(r, nullptr, i, panel->store.bitmap(2), 26, Point{}, 2,
                                          CNStateButton::PressMode::OnPress, false);
        control->setValue(float(i % 7) / 6.0f);
        panel->frame->attach(control);
        panel->controls.push_back(control);
    }
    HeadlessWindow::openOn(*panel->frame);
    panel->frame->idle();
    return panel;
}

double scaleOf(const benchmark::State& state) { return double(state.range(0)); }

void FullRedraw(benchmark::State& state) {
    auto panel = makePanel(scaleOf(state));
    for (auto _ : state) {
        panel->frame->invalidAll();
        panel->frame->idle();
    }
}

void OneKnob(benchmark::State& state) {
    auto panel = makePanel(scaleOf(state));
    float value = 0.0f;
    for (auto _ : state) {
        value = value > 0.9f ? 0.0f : value + 0.05f;
        panel->controls[201]->setValue(value);
        panel->frame->idle();
    }
}

void IdleNothingDirty(benchmark::State& state) {
    auto panel = makePanel(scaleOf(state));
    for (auto _ : state) panel->frame->idle();
}

BENCHMARK(FullRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(OneKnob)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(IdleNothingDirty)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
