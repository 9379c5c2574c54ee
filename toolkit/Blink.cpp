#include "toolkit/Blink.h"

#include "toolkit/CFrame.h"

namespace vorlatek::toolkit {

bool Blink::advanceShownIn(const CView& view) {
    if (!active) return false;
    const CFrame* frame = view.frame();
    return frame && advance(frame->ticks());
}

}  // namespace vorlatek::toolkit
