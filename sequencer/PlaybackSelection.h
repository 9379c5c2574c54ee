#pragma once
// What the extended sequencer is asked to play: the basic and intro/fill-in patterns, their
// variations, the start pattern type, the automatic fill-in cycle and a manual fill-in
// request. The editor and a loaded state set them from their threads; MIDI notes set some
// of them on the audio thread, which reads all of them at every step. Each is one atomic
// word: the last writer wins and the next step picks it up.

#include <atomic>
#include <cstdint>

namespace vorlatek {

class PlaybackSelection {
public:
    static constexpr int kVariationA = 0;
    static constexpr int kVariationB = 1;
    static constexpr int kAlternateAB = 2;
    static constexpr int kStartBasic = 0;
    static constexpr int kStartIntro = 1;

    int basicPattern() const { return basicPattern_.load(std::memory_order_relaxed); }
    int introFillInPattern() const { return introFillInPattern_.load(std::memory_order_relaxed); }
    int basicVariation() const { return basicVariation_.load(std::memory_order_relaxed); }
    int introFillInVariation() const { return introFillInVariation_.load(std::memory_order_relaxed); }
    int startPatternType() const { return startPatternType_.load(std::memory_order_relaxed); }
    int autoFillIn() const { return autoFillIn_.load(std::memory_order_relaxed); }
    bool fillInRequested() const { return fillInRequested_.load(std::memory_order_relaxed); }

    // m 0..11 selects the basic pattern, 12..15 the intro/fill-in pattern; else ignored.
    void selectPlayPattern(int m);
    // 0 A, 1 B, 2 alternate A and B; else ignored.
    void setBasicVariation(int v);
    // 0 A, 1 B; else ignored.
    void setIntroFillInVariation(int v);
    // 0 basic pattern, 1 intro/fill-in; else ignored.
    void setStartPatternType(int type);
    void toggleStartPatternType();
    // 0 (manual), 2, 4, 8, 12 or 16 measures between automatic fill-ins; else ignored.
    void setAutoFillIn(int n);
    static bool validAutoFillIn(int n) { return n == 0 || n == 2 || n == 4 || n == 8 || n == 12 || n == 16; }
    void requestFillIn() { fillInRequested_.store(true, std::memory_order_relaxed); }
    void cancelFillIn() { fillInRequested_.store(false, std::memory_order_relaxed); }
    // Takes the request: true once per request.
    bool takeFillIn() { return fillInRequested_.exchange(false, std::memory_order_relaxed); }

private:
    std::atomic<std::int32_t> basicPattern_{0};
    std::atomic<std::int32_t> introFillInPattern_{12};
    std::atomic<std::int32_t> basicVariation_{kVariationA};
    std::atomic<std::int32_t> introFillInVariation_{kVariationA};
    std::atomic<std::int32_t> startPatternType_{kStartBasic};
    std::atomic<std::int32_t> autoFillIn_{0};
    std::atomic<bool> fillInRequested_{false};
};

}  // namespace vorlatek
