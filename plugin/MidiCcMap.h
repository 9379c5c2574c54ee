#pragma once
// Which parameter each MIDI controller moves. 128 entries, one per controller number, each
// a parameter index or −1. A parameter is held by at most one controller: assigning a
// controller to a parameter first releases the controller that held it.

#include <array>
#include <atomic>
#include <cstdint>

namespace vorlatek {

class MidiCcMap {
public:
    static constexpr int kControllers = 128;

    MidiCcMap();
    // Controllers 128 and above are ignored.
    void assign(int controller, int parameter);
    // The parameter a controller moves, or −1.
    int parameterFor(int controller) const;
    // The lowest controller that moves `parameter`, or −1.
    int controllerFor(int parameter) const;
    void clear();

private:
    // Read by the audio thread (controllers) while the editor or a chunk may assign.
    std::array<std::atomic<std::int32_t>, kControllers> entries_;
};

}  // namespace vorlatek
