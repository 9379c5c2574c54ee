#pragma once
// The notification codes posted to the editor, waiting for its thread. Any number of
// threads post (the audio thread among them) without locking or allocating; the editor's
// thread takes them all at once. A code already waiting is not queued twice: every code
// asks for displays to be redrawn from the plug-in's state as it is when they are redrawn,
// so one redraw answers any number of posts, and the queue can never overflow or drop one.

#include <atomic>
#include <cstdint>

namespace vorlatek::editor {

class NotificationQueue {
public:
    static constexpr int kCodes = 32;

    // Codes outside 0..31 are ignored.
    void post(int code) {
        if (code >= 0 && code < kCodes) pending_.fetch_or(std::uint32_t(1) << code, std::memory_order_release);
    }
    // Calls f(code) for every waiting code, lowest first, and empties the queue.
    template <class F>
    void drain(F&& f) {
        std::uint32_t codes = pending_.exchange(0, std::memory_order_acquire);
        for (int code = 0; codes != 0; ++code, codes >>= 1)
            if (codes & 1u) f(code);
    }
    void clear() { pending_.store(0, std::memory_order_relaxed); }
    bool empty() const { return pending_.load(std::memory_order_relaxed) == 0; }

private:
    std::atomic<std::uint32_t> pending_{0};
};

}  // namespace vorlatek::editor
