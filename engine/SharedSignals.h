#pragma once
// What the shared sources produce in one frame, read by the voices of the same frame.

namespace vorlatek {

struct SharedSignals {
    double noiseA = 0.0;      // 2 kHz low-passed white noise (snare, clap, maracas)
    double noiseB = 0.0;      // noiseA through a resonant 170 Hz low-pass, ×4 (toms)
    double metalBand1 = 0.0;  // metal oscillators through the upper band-pass (hi-hats, cymbal)
    double metalBand2 = 0.0;  // metal oscillators through the lower band-pass (cymbal)
    // metalJunction(metalBand1), the drive of the stages fed by the upper band (see
    // DriveStage.h); the engine works it out only in frames where one of them sounds.
    double metalJunction = 0.0;
    // cymbalLowJunction(metalBand2), the drive of the cymbal's low stage; worked out only in
    // frames where the cymbal sounds.
    double cymbalLowJunction = 0.0;
};

}  // namespace vorlatek
