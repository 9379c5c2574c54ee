#include "host/WavWriter.h"

#include "host/FileIo.h"
#include "host/HostError.h"

#include <sndfile.h>

#include <cstdio>

namespace vorlatek::host {
namespace {

// A plain WAV file's sizes are 32-bit; leave room for the header.
constexpr std::int64_t kWavDataLimit = 0xFFFFFFFFll - 4096;

}  // namespace

WavWriter::WavWriter(const std::string& path, int channels, int sampleRate, SampleFormat format,
                     std::int64_t expectedFrames)
    : path_(path), temporary_(temporaryNameFor(path)) {
    const int bytesPerSample = format == SampleFormat::Float ? 4 : 3;
    const std::int64_t dataBytes = expectedFrames * channels * bytesPerSample;
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    // More than two channels call for the extensible header.
    int container = dataBytes > kWavDataLimit ? SF_FORMAT_RF64 : channels > 2 ? SF_FORMAT_WAVEX : SF_FORMAT_WAV;
    info.format = container | (format == SampleFormat::Float ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_24);
    file_ = sf_open(temporary_.c_str(), SFM_WRITE, &info);
    if (file_ == nullptr) {
        throw HostError("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

WavWriter::~WavWriter() {
    if (file_ != nullptr) sf_close(file_);
    if (!finished_) std::remove(temporary_.c_str());
}

void WavWriter::write(const float* interleaved, std::int64_t frames) {
    if (sf_writef_float(file_, interleaved, frames) != frames) {
        throw HostError("cannot write " + path_ + ": " + sf_strerror(file_));
    }
}

void WavWriter::finish() {
    int status = sf_close(file_);
    file_ = nullptr;
    if (status != 0) throw HostError("cannot write " + path_ + ": " + sf_error_number(status));
    commitTemporary(temporary_, path_);
    finished_ = true;
}

}  // namespace vorlatek::host
