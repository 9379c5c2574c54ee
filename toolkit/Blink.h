#pragma once
// The blinking shared by the panel's LEDs, buttons and text display. A blink alternates
// between the normal picture (phase true) for `onTime` and an alternate one for `offTime`,
// both taken from the tick count itself (now mod (on + off)), so widgets with the same timing
// blink together. It stops by itself once `duration` has passed since its first advance.

#include <cstdint>

namespace vorlatek::toolkit {

class CView;

struct Blink {
    static constexpr std::uint32_t kForever = 0xFFFFFFFFu;

    bool active = false;
    bool started = false;     // `start` has been taken
    std::uint32_t start = 0;  // tick count of the first advance
    std::uint32_t onTime = 500;
    std::uint32_t offTime = 500;
    std::uint32_t duration = kForever;
    bool phase = true;
    bool forced = false;
    bool forcedPhase = true;

    // Sets the timing and arms the blink; the caller advances it once at once.
    void begin(std::uint32_t on, std::uint32_t off, std::uint32_t length) {
        onTime = on;
        offTime = off;
        duration = length;
        active = true;
        started = false;
        start = 0;
    }

    // One step at tick count `now`; true when the picture changes (phase changed or stopped).
    bool advance(std::uint32_t now) {
        if (!active) return false;
        if (!started) {
            started = true;
            start = now;
        }
        if (duration != kForever && now - start > duration) {
            active = false;
            return true;
        }
        const bool old = phase;
        const std::uint64_t period = std::uint64_t(onTime) + offTime;
        if (forced)
            phase = forcedPhase;
        else
            phase = period == 0 || now % period <= onTime;
        return phase != old;
    }

    // advance() at the tick count of the frame `view` is shown in; nothing while not shown.
    bool advanceShownIn(const CView& view);

    void force(bool on, bool toPhase) {
        forced = on;
        forcedPhase = toPhase;
    }

    // Whether the alternate picture shows now.
    bool showsAlternate() const { return active && !phase; }
};

}  // namespace vorlatek::toolkit
