#include "engine/DrumEngine.h"

#include "engine/DriveStage.h"
#include "engine/DspMath.h"
#include "engine/HiHatPair.h"
#include "engine/VoiceRun.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

namespace vorlatek {

namespace {

// The instrument whose Level parameter has this index, or -1.
int levelInstrument(int index) {
    for (int i = 0; i < kInstrumentCount; ++i)
        if (param::kLevel[i] == index) return i;
    return -1;
}

// The shared sources over a run. The metal and the noise source go side by side, so that
// their chains of dependent steps overlap. Where the registers do not hold every state of
// both, two loops of fewer states each do better than one: first the oscillators and
// noiseA, then the three filters after them.
void stepSources(MetalSource& metalSource, NoiseSource& noiseSource, SharedSignals* shared, double* sums, int frames) {
    MetalSource::Stepper metal(metalSource);
    NoiseSource noise = noiseSource;
    for (int f = 0; f < frames; ++f) {
        sums[f] = metal.stepOscillators();
        noise.stepNoiseA();
        shared[f].noiseA = noise.noiseA;
    }
    for (int f = 0; f < frames; ++f) {
        metal.filter(sums[f], shared[f]);
        noise.stepNoiseB(shared[f].noiseA);
        shared[f].noiseB = noise.noiseB;
    }
    metal.storeTo(metalSource);
    noiseSource = noise;
}

// metalJunction() of the upper metal band over a run, and with `cymbal` cymbalLowJunction()
// of the lower one: no frame waits on another, so the exponentials go several side by side.
// `input` and `exponential` are room for the run.
[[gnu::always_inline]] inline void metalJunctions(SharedSignals* shared, double* __restrict input,
                                                  double* __restrict exponential, int frames, bool cymbal) {
    const auto junctions = [&](double SharedSignals::*band, double SharedSignals::*junction, double inputScale) {
        for (int f = 0; f < frames; ++f) input[f] = inputScale * (shared[f].*band);
        dsp::fastExpEach(input, exponential, frames);
        for (int f = 0; f < frames; ++f) shared[f].*junction = DriveStage::junctionOf(input[f], exponential[f]);
    };
    junctions(&SharedSignals::metalBand1, &SharedSignals::metalJunction, kMetalDrive.inputScale);
    if (cymbal) junctions(&SharedSignals::metalBand2, &SharedSignals::cymbalLowJunction, kCymbalLowDrive.inputScale);
}

#if defined(VORLATEK_ENGINE_WIDE)
// The same steps in one loop, where every state and coefficient of both sources fits in the
// registers, the six oscillators in the lanes of one. With `pulse`, the trigger pulse's steps
// go in the same loop, into trigger[]: its chain is as long as theirs and overlaps them.
template <bool kWithPulse>
[[VORLATEK_WIDE_LOOP]] void stepSourcesWide(MetalSource& metalSource, NoiseSource& noiseSource, SharedSignals* shared,
                                           TriggerPulse* pulse, float* trigger, int frames) {
    MetalSource::Stepper metal(metalSource);
    MetalSource::OscillatorLanes oscillators(metalSource);
    NoiseSource noise = noiseSource;
    TriggerPulse::TableStepper pulseSteps(*pulse);
    for (int f = 0; f < frames; ++f) {
        metal.filter(oscillators.step(), shared[f]);
        noise.step();
        shared[f].noiseA = noise.noiseA;
        shared[f].noiseB = noise.noiseB;
        if constexpr (kWithPulse) trigger[f] = pulseSteps.step();
    }
    metal.storeTo(metalSource);  // then the oscillators' states, which it holds unstepped
    oscillators.storeTo(metalSource);
    noiseSource = noise;
    if constexpr (kWithPulse) pulseSteps.storeTo(*pulse);
}

// The same with AVX-512's table lookups, eight exponentials at a time.
[[VORLATEK_WIDE_LOOP]] void metalJunctionsWide(SharedSignals* shared, double* input, double* exponential, int frames,
                                              bool cymbal) {
    metalJunctions(shared, input, exponential, frames, cymbal);
}
#endif

// The sounding voices of a run, in instrument order, and where their mix goes.
struct VoiceMix {
    const double* outs[kInstrumentCount];
    float* rows[kInstrumentCount];
    int count;
    const double* volume;
    float* master;
};

// Each voice's row at the master volume, and the master: the voices added in instrument
// order, from 0 as the frame's sum always did (0 + x, not x: −0 comes out as +0), at the
// master volume. Silent voices add nothing: x + 0 is x.
[[gnu::always_inline]] inline void mixVoicesBody(const VoiceMix& mix, int frames) {
    const double* __restrict volume = mix.volume;
    for (int k = 0; k < mix.count; ++k) {
        const double* __restrict out = mix.outs[k];
        float* __restrict row = mix.rows[k];
        for (int f = 0; f < frames; ++f) row[f] = static_cast<float>(volume[f] * out[f]);
    }
    if (mix.count == 0) return;
    // A stretch of frames at a time, so that the sums stay in the first-level cache.
    constexpr int kStretch = 64;
    for (int first = 0; first < frames; first += kStretch) {
        const int n = std::min(kStretch, frames - first);
        alignas(64) double sum[kStretch];
        const double* __restrict out = mix.outs[0] + first;
        for (int f = 0; f < n; ++f) sum[f] = 0.0 + out[f];
        for (int k = 1; k < mix.count; ++k) {
            const double* __restrict next = mix.outs[k] + first;
            for (int f = 0; f < n; ++f) sum[f] += next[f];
        }
        float* __restrict master = mix.master + first;
        for (int f = 0; f < n; ++f) master[f] = static_cast<float>(volume[first + f] * sum[f]);
    }
}

void mixVoices(const VoiceMix& mix, int frames) { mixVoicesBody(mix, frames); }

#if defined(VORLATEK_ENGINE_WIDE)
// GCC 12's AVX-512 headers pass an undefined vector where no lane of it is used (the
// conversion to single precision), and then warn that it may be used uninitialised.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
// The mix above, eight frames at a time, as the work of the output FIRs' loop: their
// followers are chains of dependent operations, one link a frame, which on their own kept the
// processor waiting; the FIRs and the mix have none, and fill the wait.
struct WideMix {
    [[VORLATEK_WIDE_LOOP]] void octet(int f) const {
        const __m512d volume = _mm512_loadu_pd(mix.volume + f);
        __m512d sum = _mm512_setzero_pd();
        for (int k = 0; k < mix.count; ++k) {
            const __m512d out = _mm512_loadu_pd(mix.outs[k] + f);
            sum = _mm512_add_pd(sum, out);
            _mm256_storeu_ps(mix.rows[k] + f, _mm512_cvtpd_ps(_mm512_mul_pd(volume, out)));
        }
        _mm256_storeu_ps(mix.master + f, _mm512_cvtpd_ps(_mm512_mul_pd(volume, sum)));
    }
    void frame(int f) const {
        double sum = 0.0;
        for (int k = 0; k < mix.count; ++k) {
            sum += mix.outs[k][f];
            mix.rows[k][f] = static_cast<float>(mix.volume[f] * mix.outs[k][f]);
        }
        mix.master[f] = static_cast<float>(mix.volume[f] * sum);
    }

    const VoiceMix& mix;
};

[[VORLATEK_WIDE_LOOP]] void mixAndFollowWide(const VoiceMix& mix, OutputFirBatch& firs, int frames) {
    WideMix work{mix};
    firs.runWide(frames, work);
}
#pragma GCC diagnostic pop
#endif

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
    shared_.fill(SharedSignals{});
    for (Voice* v : voices_) v->setSampleRate(rate);
    settleLevels();
}

void DrumEngine::settleLevels() {
    resting_.fill(false);
    for (Voice* v : voices_) v->settleLevel();
    snareDrum_.settleTone();
    masterVolumeSmoothed_ = masterVolume_;
    masterVolumeRestTarget_ = std::numeric_limits<double>::quiet_NaN();
}

void DrumEngine::setParameter(int index, float value) {
    if (index < 0 || index > param::kLastEngineParameter || std::isnan(value)) return;
    const double v = std::clamp(static_cast<double>(value), 0.0, 1.0);
    resting_.fill(false);  // a knob may have moved: the silent voices look at theirs again

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

template <int I>
auto& DrumEngine::voiceAt() {
    if constexpr (I == kBassDrum) return bassDrum_;
    else if constexpr (I == kSnareDrum) return snareDrum_;
    else if constexpr (I == kLowConga) return lowConga_;
    else if constexpr (I == kMidConga) return midConga_;
    else if constexpr (I == kHighConga) return highConga_;
    else if constexpr (I == kLowTom) return lowTom_;
    else if constexpr (I == kMidTom) return midTom_;
    else if constexpr (I == kHighTom) return highTom_;
    else if constexpr (I == kClaves) return claves_;
    else if constexpr (I == kRimShot) return rimShot_;
    else if constexpr (I == kMaracas) return maracas_;
    else if constexpr (I == kHandClap) return handClap_;
    else if constexpr (I == kCowBell) return cowBell_;
    else if constexpr (I == kLaserGun) return laserGun_;
    else if constexpr (I == kCymbal) return cymbal_;
    else if constexpr (I == kOpenHiHat) return openHiHat_;
    else return closedHiHat_;
}

template <int I>
DrumEngine::Loop DrumEngine::prepareVoice(int frames) {
    auto& voice = voiceAt<I>();
    if (!voice.active) {
        followKnobsOverRun(voice, frames);
        resting_[I] = voice.knobsAtRest();
        return Loop::None;
    }
    if (rendersInOneLoop(voice, frames)) return stepsAlone<std::remove_reference_t<decltype(voice)>>() ? Loop::Alone : Loop::Paired;
    renderFrameByFrame(voice, shared_.data(), voiceRuns_[I], frames);
    return Loop::None;
}

template <int I>
void DrumEngine::renderAlone(int frames) {
    renderInOneLoop(voiceAt<I>(), shared_.data(), voiceRuns_[I], frames, outputFirs_);
}

template <int I, int J>
void DrumEngine::renderPair(int frames) {
    renderInOneLoop(voiceAt<I>(), voiceAt<J>(), shared_.data(), voiceRuns_[I], voiceRuns_[J], frames, outputFirs_);
}

template <std::size_t... I>
constexpr auto DrumEngine::prepareTable(std::index_sequence<I...>) {
    return std::array<Loop (DrumEngine::*)(int), sizeof...(I)>{&DrumEngine::prepareVoice<I>...};
}

template <std::size_t... I>
constexpr auto DrumEngine::aloneTable(std::index_sequence<I...>) {
    return std::array<void (DrumEngine::*)(int), sizeof...(I)>{&DrumEngine::renderAlone<I>...};
}

template <int I, int J>
constexpr void (DrumEngine::*DrumEngine::pairEntry())(int) {
    if constexpr (I < J) return &DrumEngine::renderPair<I, J>;
    else return nullptr;
}

// Entry i·17 + j renders voices i < j together.
template <std::size_t... K>
constexpr auto DrumEngine::pairTable(std::index_sequence<K...>) {
    return std::array<void (DrumEngine::*)(int), sizeof...(K)>{
        pairEntry<static_cast<int>(K / kInstrumentCount), static_cast<int>(K % kInstrumentCount)>()...};
}

const EngineRun& DrumEngine::renderRun(int frames) {
    frames = std::clamp(frames, 1, kMaxRunFrames);
    run_.frames = frames;

#if defined(VORLATEK_ENGINE_WIDE)
    if (cpu::hasAvx512()) {
        // A pulse that still moves steps beside the sources; one at rest ends its run at once.
        if (triggerPulse_.moving() && triggerPulse_.tableCoversPulse()) {
            stepSourcesWide<true>(metalSource_, noiseSource_, shared_.data(), &triggerPulse_, run_.trigger, frames);
        } else {
            triggerPulse_.render(run_.trigger, frames);
            stepSourcesWide<false>(metalSource_, noiseSource_, shared_.data(), &triggerPulse_, run_.trigger, frames);
        }
    } else
#endif
    {
        triggerPulse_.render(run_.trigger, frames);
        stepSources(metalSource_, noiseSource_, shared_.data(), metalSums_, frames);
    }
    if (cymbal_.active || openHiHat_.active || closedHiHat_.active) {
#if defined(VORLATEK_ENGINE_WIDE)
        if (cpu::hasAvx512())
            metalJunctionsWide(shared_.data(), junctionWork_[0], junctionWork_[1], frames, cymbal_.active);
        else
#endif
            metalJunctions(shared_.data(), junctionWork_[0], junctionWork_[1], frames, cymbal_.active);
    }
    // At rest the master volume holds: no voice's row needs it while none sounds.
    if (masterVolume_ != masterVolumeRestTarget_) {
        for (int f = 0; f < frames; ++f) {
            dsp::smoothToRest(masterVolumeSmoothed_, masterVolume_, bassDrum_.levelRate, masterVolumeRestTarget_);
            volume_[f] = masterVolumeSmoothed_;
        }
    } else if (std::any_of(voices_.begin(), voices_.end(), [](const Voice* v) { return v->active; })) {
        std::fill(volume_, volume_ + frames, masterVolumeSmoothed_);
    }

    // The voices that render the run in one loop go two by two where they can.
    static constexpr auto kPrepare = prepareTable(std::make_index_sequence<kInstrumentCount>{});
    static constexpr auto kAlone = aloneTable(std::make_index_sequence<kInstrumentCount>{});
    static constexpr auto kPair = pairTable(std::make_index_sequence<kInstrumentCount * kInstrumentCount>{});
    int paired[kInstrumentCount];
    int count = 0;
    for (int i = 0; i < kInstrumentCount; ++i) {
        run_.sounding[i] = voices_[i]->active;
        if (resting_[i] && !voices_[i]->active) continue;  // silent, knobs at rest: nothing to do
        const Loop loop = (this->*kPrepare[i])(frames);
        if (loop == Loop::Alone) (this->*kAlone[i])(frames);
        if (loop == Loop::Paired) paired[count++] = i;
    }
#if defined(VORLATEK_ENGINE_WIDE)
    if (count >= 2 && cpu::hasAvx512()) count = renderStruckLanes(paired, count, frames);
#endif
    // The two hi-hats (last in instrument order) go together whenever both sound: their pair
    // has a loop of its own.
    const bool hiHats = count >= 2 && paired[count - 2] == kOpenHiHat && paired[count - 1] == kClosedHiHat;
    const int others = hiHats ? count - 2 : count;
    int k = 0;
    for (; k + 1 < others; k += 2) (this->*kPair[paired[k] * kInstrumentCount + paired[k + 1]])(frames);
    if (k < others) (this->*kAlone[paired[k]])(frames);
    if (hiHats) renderPair<kOpenHiHat, kClosedHiHat>(frames);

    VoiceMix mix;  // filled up to count below (left uninitialised: clearing it cost more than the rest)
    mix.count = 0;
    mix.volume = volume_;
    mix.master = run_.master;
    for (int i = 0; i < kInstrumentCount; ++i) {
        if (!run_.sounding[i]) continue;
        mix.outs[mix.count] = voiceRuns_[i];
        mix.rows[mix.count++] = run_.instrument[i];
    }
    run_.masterSounding = mix.count > 0;
    // The output FIRs and their followers, then the mix; or all in one loop.
    if (mix.count > 0) {
#if defined(VORLATEK_ENGINE_WIDE)
        if (cpu::hasAvx512()) {
            mixAndFollowWide(mix, outputFirs_, frames);
        } else
#endif
        {
            outputFirs_.run(frames);
            mixVoices(mix, frames);
        }
    }
    for (int i = 0; i < kInstrumentCount; ++i) voiceOut_[i] = run_.sounding[i] ? voiceRuns_[i][frames - 1] : 0.0;
    return run_;
}

#if defined(VORLATEK_ENGINE_WIDE)
int DrumEngine::renderStruckLanes(int* paired, int count, int frames) {
    CongaVoice* const congas[] = {&lowConga_, &midConga_, &highConga_};
    TomVoice* const toms[] = {&lowTom_, &midTom_, &highTom_};
    static_assert(kMidConga == kLowConga + 1 && kHighConga == kLowConga + 2 && kMidTom == kLowTom + 1 &&
                  kHighTom == kLowTom + 2);
    const auto conga = [&](int i) { return i >= kLowConga && i <= kHighConga ? congas[i - kLowConga] : nullptr; };
    const auto tom = [&](int i) { return i >= kLowTom && i <= kHighTom ? toms[i - kLowTom] : nullptr; };
    const auto fits = [&](int i) {
        if (conga(i)) return StruckLanes::fits(*conga(i));
        if (tom(i)) return StruckLanes::fits(*tom(i));
        return i == kClaves && StruckLanes::fits(claves_);
    };
    // One voice alone in the lanes would wait on its own chains; beside another it does not.
    if (std::count_if(paired, paired + count, fits) < 2) return count;
    int left = 0;
    for (int k = 0; k < count; ++k) {
        const int i = paired[k];
        if (!fits(i)) paired[left++] = i;
        else if (conga(i)) struckLanes_.add(*conga(i), voiceRuns_[i]);
        else if (tom(i)) struckLanes_.add(*tom(i), voiceRuns_[i]);
        else struckLanes_.add(claves_, voiceRuns_[i]);
    }
    struckLanes_.render(shared_.data(), frames);
    return left;
}
#endif

void DrumEngine::renderFrame(EngineFrame& frame) {
    const EngineRun& run = renderRun(1);
    frame.master = run.masterSounding ? run.master[0] : 0.0f;
    for (int i = 0; i < kInstrumentCount; ++i) frame.instrument[i] = run.sounding[i] ? run.instrument[i][0] : 0.0f;
    frame.trigger = run.trigger[0];
}

}  // namespace vorlatek
