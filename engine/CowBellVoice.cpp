#include "engine/CowBellVoice.h"

#include "engine/DspMath.h"
#include "engine/VoiceRun.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

namespace {

void advance(double& phase, double period) {
    const double old = phase;
    phase = old + 1.0;
    if (old > period) phase = old + 1.0 - period;
}

// Follows positive drive as it is and negative drive at 7.7 %, at separate rates.
void limitSlew(double drive, double risingRate, double fallingRate, double& slew, double& target, double& rate) {
    if (drive >= 0.0) {
        target = drive;
        rate = risingRate;
    } else {
        target = 0.077 * drive;
        rate = fallingRate;
    }
    dsp::smooth(slew, target, rate);
}

}  // namespace

CowBellVoice::CowBellVoice() { setSampleRate(44100.0f); }

void CowBellVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    phase1 = 0.0;
    phase2 = 0.0;
    slew1 = 0.0;
    slew2 = 0.0;
    risingRate1 = 0.1 * rateFactor;
    risingRate2 = 0.12 * rateFactor;
    fallingRate = dsp::limitRate(0.7 * rateFactor);
    rate1 = risingRate1;
    rate2 = risingRate1;
    const double w = dsp::Biquad::omega(806.0, sampleRate);
    highPass.setHighPass(std::cos(w), std::sin(w) / 6.0);
    highPass.reset();
    setTuning(tuning);
    setDecay(decay);
}

void CowBellVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    amplitude = 2.645 * velocity;
    countdown = 0.00097 * sampleRate;
    envelopeTarget = 1.0;
    fast = 0.0;
    fastRate = 0.025 * rateFactor;
    slow = 0.0;
    slowRate = 0.025 * rateFactor;
}

void CowBellVoice::setTuning(double t) {
    tuning = t;
    baseFrequency = 210.1 * (t + 0.5);
    P1 = sampleRate / (2.58686 * baseFrequency);
    D1 = std::trunc(0.4375 * P1);
    P2 = sampleRate / (3.8386482 * baseFrequency);
    D2 = std::trunc(0.4354 * P2);
}

void CowBellVoice::setDecay(double d) {
    decay = d;
    decayFactor = 0.14285714286308415 * std::exp(4.15888308331952139 * (1.0 - d)) + 0.8571428571313702;
    // Far below Decay 0 the fast rate would pass 1: the fall would overshoot, then diverge.
    decayFactor = std::min(decayFactor, rateUp / 0.003);
}

double CowBellVoice::step(const SharedSignals&, double level) {
    square1 = phase1 > D1 ? 0.5 : -0.5;
    square2 = phase2 > D2 ? 0.5 : -0.5;
    advance(phase1, P1);
    advance(phase2, P2);
    if (dsp::countdownDue(countdown)) {
        envelopeTarget = 0.0;
        fastRate = decayFactor * rateFactor * 0.003;
        slowRate = decayFactor * rateFactor * 0.00022;
    }
    countdown -= 1.0;
    dsp::smooth(fast, envelopeTarget, fastRate);
    dsp::smooth(slow, envelopeTarget, slowRate);

    const double envelope = 0.15 * slow + fast;
    drive1 = envelope * square1 * amplitude;
    limitSlew(drive1, risingRate1, fallingRate, slew1, target1, rate1);
    drive2 = envelope * square2 * amplitude;
    limitSlew(drive2, risingRate2, fallingRate, slew2, target2, rate2);

    filtered = highPass.process(slew2 + slew1);
    const double v = filtered * level * 0.4;
    return v;
}

double CowBellVoice::render(const SharedSignals& in) { return fir.process(step(in, levelSmoothed)); }

void CowBellVoice::renderSamples(const SharedSignals* in, const double* level, double* out, int frames,
                                 PeakFollower& follower) {
    stepThroughFir(*this, in, level, out, frames, follower);
}

}  // namespace vorlatek
