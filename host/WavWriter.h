#pragma once
// Writes rendered pins to a multi-channel WAV file through libsndfile: 32-bit float or
// 24-bit PCM (clipped, never wrapped). The file is written under a temporary name and only
// takes its final name when finish() succeeds.

#include "host/Options.h"

#include <cstdint>
#include <string>

struct sf_private_tag;  // libsndfile's SNDFILE

namespace vorlatek::host {

class WavWriter {
public:
    // expectedFrames picks the container: WAV up to its 4 GiB limit, RF64 beyond.
    WavWriter(const std::string& path, int channels, int sampleRate, SampleFormat format,
              std::int64_t expectedFrames);
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Interleaved frames, `channels` samples each.
    void write(const float* interleaved, std::int64_t frames);
    void finish();

private:
    std::string path_;
    std::string temporary_;
    sf_private_tag* file_ = nullptr;
    bool finished_ = false;
};

}  // namespace vorlatek::host
