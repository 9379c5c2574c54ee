#pragma once
// A headless frame with drawn test bitmaps, and a listener that records what controls say.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "toolkit/CControl.h"
#include "toolkit/CFrame.h"
#include "toolkit/HeadlessWindow.h"
#include "toolkit/ImageStore.h"
#include "toolkit/TestImageSource.h"

namespace vorlatek::toolkit::testing {

struct RecordingListener : IControlListener {
    std::vector<std::pair<int, float>> changes;  // tag, value
    std::vector<CControl*> reported;
    int begins = 0;
    int ends = 0;
    bool claimModifierClicks = false;
    std::vector<unsigned> modifierClicks;

    void valueChanged(CControl* control) override {
        changes.emplace_back(control->tag(), control->value());
        reported.push_back(control);
    }
    void controlBeginEdit(CControl*) override { ++begins; }
    void controlEndEdit(CControl*) override { ++ends; }
    bool controlModifierClicked(CControl*, unsigned buttons) override {
        modifierClicks.push_back(buttons);
        return claimModifierClicks;
    }
    std::vector<float> values() const {
        std::vector<float> v;
        for (const auto& change : changes) v.push_back(change.second);
        return v;
    }
};

class ToolkitTest : public ::testing::Test {
protected:
    void openFrame(int width = 200, int height = 150, double scale = 1.0) {
        frame = make<CFrame>(Rect{0, 0, width, height});
        frame->setScale(scale);
        store.setScale(frame->scale());
        window = &HeadlessWindow::openOn(*frame);
    }
    // A strip bitmap registered and looked up in one go.
    Ref<CBitmap> strip(int id, int width, int frameHeight, int frames) {
        images->addStrip(id, width, frameHeight, frames);
        return store.bitmap(id);
    }
    // The strip frame of bitmap `id` shown at logical point (x, y) after an idle, or -1.
    int shownFrame(int id, int x, int y, int frames = 64) {
        frame->idle();
        const double s = frame->scale();
        const Color c = window->pixel(int(x * s + s / 2), int(y * s + s / 2));
        for (int k = 0; k < frames; ++k)
            if (TestImageSource::frameColor(id, k) == c) return k;
        return -1;
    }
    // Clicks and drags in logical pixels.
    void press(int x, int y, unsigned buttons = kLButton) { window->press(x * frame->scale(), y * frame->scale(), buttons); }
    void move(int x, int y, unsigned buttons = kLButton) { window->move(x * frame->scale(), y * frame->scale(), buttons); }
    void release(int x, int y, unsigned buttons = 0) { window->release(x * frame->scale(), y * frame->scale(), buttons); }
    void click(int x, int y, unsigned buttons = kLButton) {
        press(x, y, buttons);
        release(x, y, buttons & ~kMouseButtons);
    }

    std::shared_ptr<TestImageSource> images = std::make_shared<TestImageSource>();
    ImageStore store{images};
    Ref<CFrame> frame;
    HeadlessWindow* window = nullptr;
    RecordingListener listener;
};

}  // namespace vorlatek::toolkit::testing
