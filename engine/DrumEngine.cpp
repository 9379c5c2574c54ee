#include "engine/DrumEngine.h"

#include "engine/DriveStage.h"
#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vorlatek {

namespace {

// Activity follower: falls by the factor (1 − peakDecay) per sample, jumps up to any louder
// output; the voice retires once it is below about −90 dB. A silent voice skips it: the
// follower only matters while the voice sounds, and the next trigger sets it afresh.
inline void checkActivity(Voice& voice, double out) {
    dsp::decay(voice.peak, voice.peakDecay);
    voice.magnitude = std::fabs(out);
    voice.peak = std::max(voice.peak, voice.magnitude);
    if (voice.peak < 0.00003) voice.active = false;
}

// One frame of a voice: its level follows the knob whether or not it sounds (no work once
// it has come to rest); a sounding voice renders a sample and runs its activity check, a
// silent one outputs 0 and keeps its state. Templated on the voice class so that the
// per-sample call is a direct one.
template <class V>
inline void renderVoice(V& voice, const SharedSignals& in, double& out) {
    dsp::smoothToRest(voice.levelSmoothed, voice.level, voice.levelRate, voice.levelRestTarget);
    if (!voice.active) {
        out = 0.0;
        return;
    }
    out = voice.render(in);
    checkActivity(voice, out);
}

// The instrument whose Level parameter has this index, or -1.
int levelInstrument(int index) {
    for (int i = 0; i < kInstrumentCount; ++i)
        if (param::kLevel[i] == index) return i;
    return -1;
}

}  // namespace

DrumEngine::DrumEngine()
    : voices_{&bassDrum_, &snareDrum_, &lowConga_, &midConga_, &highConga_, &lowTom_,
              &midTom_,   &highTom_,   &claves_,   &rimShot_,  &maracas_,   &handClap_,
              &cowBell_,  &laserGun_,  &cymbal_,   &openHiHat_, &closedHiHat_} {
    updateEnabled();
    setSampleRate(44100.0f);
}

void DrumEngine::setSampleRate(float rate) {
    const double sr = static_cast<double>(rate);
    if (!std::isfinite(sr) || sr <= 0.0) return;
    sampleRate_ = sr;

    triggerPulse_.setSampleRate(sr);
    metalSource_.setSampleRate(sr);
    // The band centres follow the knob's current setting at the new rate too.
    metalSource_.setFilterFrequency(hiHatFiltersFrequency_);
    noiseSource_.setSampleRate(sr);
    shared_ = SharedSignals{};
    masterVolumeRestTarget_ = std::numeric_limits<double>::quiet_NaN();  // the rate changes
    for (Voice* v : voices_) v->setSampleRate(rate);
}

void DrumEngine::setParameter(int index, float value) {
    if (index < 0 || index > param::kLastEngineParameter || std::isnan(value)) return;
    const double v = std::clamp(static_cast<double>(value), 0.0, 1.0);

    if (index >= param::kFirstSolo) {
        solo_[index - param::kFirstSolo] = v > 0.5 ? 1 : 0;
        updateEnabled();
        return;
    }
    if (index >= param::kFirstMute) {
        mute_[index - param::kFirstMute] = v > 0.5 ? 1 : 0;
        updateEnabled();
        return;
    }
    if (const int instrument = levelInstrument(index); instrument >= 0) {
        voices_[instrument]->level = v;
        return;
    }

    using namespace param;
    switch (index) {
        case kAccentLevel: accentLevel_ = v; break;
        case kBassDrumTone: bassDrum_.setTone(v); break;
        case kBassDrumDecay: bassDrum_.setDecay(v); break;
        case kBassDrumSweep: bassDrum_.setSweep(v); break;
        case kSnareDrumTone: snareDrum_.setTone(v); break;
        case kSnareDrumDecay: snareDrum_.setDecay(v); break;
        case kSnareDrumSnappy: snareDrum_.setSnappy(v); break;
        case kLowCongaTuning: lowConga_.setTuning(v); break;
        case kLowCongaDecay: lowConga_.setDecay(v); break;
        case kMidCongaTuning: midConga_.setTuning(v); break;
        case kMidCongaDecay: midConga_.setDecay(v); break;
        case kHighCongaTuning: highConga_.setTuning(v); break;
        case kHighCongaDecay: highConga_.setDecay(v); break;
        case kLowTomTuning: lowTom_.setTuning(v); break;
        case kLowTomDecay: lowTom_.setDecay(v); break;
        case kLowTomSnappy: lowTom_.setSnappy(v); break;
        case kMidTomTuning: midTom_.setTuning(v); break;
        case kMidTomDecay: midTom_.setDecay(v); break;
        case kMidTomSnappy: midTom_.setSnappy(v); break;
        case kHighTomTuning: highTom_.setTuning(v); break;
        case kHighTomDecay: highTom_.setDecay(v); break;
        case kHighTomSnappy: highTom_.setSnappy(v); break;
        case kClavesTuning: claves_.setTuning(v); break;
        case kClavesDecay: claves_.setDecay(v); break;
        case kRimShotTuning: rimShot_.setTuning(v); break;
        case kRimShotDecay: rimShot_.setDecay(v); break;
        case kMaracasTone: maracas_.setTone(v); break;
        case kHandClapTone: handClap_.setTone(v); break;
        case kHandClapReverb: handClap_.setReverb(v); break;
        case kCowBellTuning: cowBell_.setTuning(v); break;
        case kCowBellDecay: cowBell_.setDecay(v); break;
        case kLaserGunDepth: laserGun_.setDepth(v); break;
        case kLaserGunDecay: laserGun_.setDecay(v); break;
        case kLaserGunSweep: laserGun_.setSweep(v); break;
        case kCymbalTone: cymbal_.setTone(v); break;
        case kCymbalDecay: cymbal_.setDecay(v); break;
        case kOpenHiHatTone: openHiHat_.setTone(v); break;
        case kOpenHiHatDecay: openHiHat_.setDecay(v); break;
        case kClosedHiHatTone: closedHiHat_.setTone(v); break;
        case kClosedHiHatDecay: closedHiHat_.setDecay(v); break;
        case kHiHatFiltersFrequency:
            hiHatFiltersFrequency_ = v;
            metalSource_.setFilterFrequency(v);
            break;
        case kMasterVolume: masterVolume_ = v; break;
        default: break;
    }
}

void DrumEngine::updateEnabled() {
    const bool anySolo = std::any_of(solo_.begin(), solo_.end(), [](std::int32_t s) { return s == 1; });
    for (int i = 0; i < kInstrumentCount; ++i) {
        enabled_[i] = 1;
        if (anySolo ? solo_[i] == 0 : mute_[i] == 1) enabled_[i] = 0;
    }
}

namespace {

constexpr double kPlainVelocity = 48.0 / 127.0;
constexpr double kInstrumentAccent = 0.377;
constexpr double kGlobalAccent = 0.623;  // times the accent level
constexpr int kLoudestPlainNote = 64;

}  // namespace

void DrumEngine::triggerInstrument(int i, bool instrumentAccent, bool globalAccent) {
    double velocity = kPlainVelocity;
    if (instrumentAccent) velocity += kInstrumentAccent;
    if (globalAccent) velocity += accentLevel_ * kGlobalAccent;
    triggerInstrumentAt(i, std::min(velocity, 1.0));
}

double DrumEngine::noteVelocity(int midiVelocity) const {
    const double accented = std::min(kPlainVelocity + kInstrumentAccent + accentLevel_ * kGlobalAccent, 1.0);
    const double t = std::clamp((midiVelocity - kLoudestPlainNote) / (127.0 - kLoudestPlainNote), 0.0, 1.0);
    return kPlainVelocity + t * (accented - kPlainVelocity);
}

void DrumEngine::triggerInstrumentAt(int i, double velocity) {
    if (i < 0) return;
    if (i < kInstrumentCount && enabled_[i]) {
        // A closed hi-hat cuts the open one short.
        if (i == kClosedHiHat) openHiHat_.choke = 8.0;
        voices_[i]->trigger(static_cast<float>(velocity));
    }
    // The trigger output follows its instrument's steps even while that instrument is muted.
    if (i <= kAccent && i == triggerOutputInstrument_) startTriggerPulse();
}

void DrumEngine::startTriggerPulse() { triggerPulse_.start(); }

void DrumEngine::renderFrame(EngineFrame& frame) {
    triggerPulse_.step();
    metalSource_.step();
    noiseSource_.step();
    shared_.noiseA = noiseSource_.noiseA;
    shared_.noiseB = noiseSource_.noiseB;
    shared_.metalBand1 = metalSource_.band1Output;
    shared_.metalBand2 = metalSource_.band2Output;
    if (cymbal_.active || openHiHat_.active || closedHiHat_.active)
        shared_.metalJunction = metalJunction(shared_.metalBand1);

    dsp::smoothToRest(masterVolumeSmoothed_, masterVolume_, bassDrum_.levelRate, masterVolumeRestTarget_);
    snareDrum_.smoothTone();

    renderVoice(bassDrum_, shared_, voiceOut_[kBassDrum]);
    renderVoice(snareDrum_, shared_, voiceOut_[kSnareDrum]);
    renderVoice(lowConga_, shared_, voiceOut_[kLowConga]);
    renderVoice(midConga_, shared_, voiceOut_[kMidConga]);
    renderVoice(highConga_, shared_, voiceOut_[kHighConga]);
    renderVoice(lowTom_, shared_, voiceOut_[kLowTom]);
    renderVoice(midTom_, shared_, voiceOut_[kMidTom]);
    renderVoice(highTom_, shared_, voiceOut_[kHighTom]);
    renderVoice(claves_, shared_, voiceOut_[kClaves]);
    renderVoice(rimShot_, shared_, voiceOut_[kRimShot]);
    renderVoice(maracas_, shared_, voiceOut_[kMaracas]);
    renderVoice(handClap_, shared_, voiceOut_[kHandClap]);
    renderVoice(cowBell_, shared_, voiceOut_[kCowBell]);
    renderVoice(laserGun_, shared_, voiceOut_[kLaserGun]);
    renderVoice(cymbal_, shared_, voiceOut_[kCymbal]);
    renderVoice(closedHiHat_, shared_, voiceOut_[kClosedHiHat]);
    renderVoice(openHiHat_, shared_, voiceOut_[kOpenHiHat]);

    double sum = 0.0;
    for (double out : voiceOut_) sum += out;
    frame.master = static_cast<float>(masterVolumeSmoothed_ * sum);
    for (int i = 0; i < kInstrumentCount; ++i)
        frame.instrument[i] = static_cast<float>(masterVolumeSmoothed_ * voiceOut_[i]);
    frame.trigger = static_cast<float>(triggerPulse_.output);
}

}  // namespace vorlatek
