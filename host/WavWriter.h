#pragma once
// Writes rendered pins to a multi-channel WAV file through libsndfile: 32-bit float or
// 24-bit PCM (clipped, never wrapped). The file is written as an OutputFile: under a
// temporary name that it takes the final name from only when finish() succeeds, or in
// place for a device such as /dev/null.

#include "host/Options.h"
#include "host/OutputFile.h"

#include <cstdint>
#include <string>
#include <vector>

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

    // Interleaved frames, `channels` samples each. They are gathered and handed to the file
    // a quarter of a million samples at a time: a system call for each short block would
    // cost more than the block, and would leave the next process call of a render starting
    // on cold caches.
    void write(const float* interleaved, std::int64_t frames);
    void finish();

private:
    void flush();
    // Straight to the file.
    void writeFrames(const float* interleaved, std::int64_t frames);

    OutputFile output_;
    sf_private_tag* file_ = nullptr;
    int channels_ = 0;
    std::vector<float> pending_;  // interleaved, not yet written
};

}  // namespace vorlatek::host
