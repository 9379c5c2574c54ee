#include "host/WavWriter.h"

#include "host/HostError.h"

#include <sndfile.h>
#include <unistd.h>


namespace vorlatek::host {
namespace {

// A plain WAV file's sizes are 32-bit; leave room for the header.
constexpr std::int64_t kWavDataLimit = 0xFFFFFFFFll - 4096;

// Samples gathered before they are written (1 MB).
constexpr std::size_t kPendingSamples = 262144;

}  // namespace

WavWriter::WavWriter(const std::string& path, int channels, int sampleRate, SampleFormat format,
                     std::int64_t expectedFrames)
    : output_(path), channels_(channels) {
    pending_.reserve(kPendingSamples);
    const int bytesPerSample = format == SampleFormat::Float ? 4 : 3;
    const std::int64_t dataBytes = expectedFrames * channels * bytesPerSample;
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    // More than two channels call for the extensible header.
    int container = dataBytes > kWavDataLimit ? SF_FORMAT_RF64 : channels > 2 ? SF_FORMAT_WAVEX : SF_FORMAT_WAV;
    info.format = container | (format == SampleFormat::Float ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_24);
    // The header is finished at the end, which takes a file the writer can seek in.
    if (output_.inPlace() && ::lseek(output_.descriptor(), 0, SEEK_CUR) < 0)
        throw HostError("cannot write " + path + ": a WAV file cannot be written into a pipe");
    file_ = sf_open_fd(output_.descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (file_ == nullptr) throw HostError("cannot write " + path + ": " + sf_strerror(nullptr));
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

WavWriter::~WavWriter() {
    if (file_ != nullptr) sf_close(file_);
}

void WavWriter::write(const float* interleaved, std::int64_t frames) {
    const std::size_t samples = static_cast<std::size_t>(frames) * static_cast<std::size_t>(channels_);
    if (pending_.size() + samples > kPendingSamples) flush();
    if (samples > kPendingSamples) {
        writeFrames(interleaved, frames);
        return;
    }
    pending_.insert(pending_.end(), interleaved, interleaved + samples);
}

void WavWriter::flush() {
    writeFrames(pending_.data(), static_cast<std::int64_t>(pending_.size() / static_cast<std::size_t>(channels_)));
    pending_.clear();
}

void WavWriter::writeFrames(const float* interleaved, std::int64_t frames) {
    if (frames > 0 && sf_writef_float(file_, interleaved, frames) != frames)
        throw HostError("cannot write " + output_.path() + ": " + sf_strerror(file_));
}

void WavWriter::finish() {
    flush();
    int status = sf_close(file_);
    file_ = nullptr;
    if (status != 0) throw HostError("cannot write " + output_.path() + ": " + sf_error_number(status));
    output_.commit();
}

}  // namespace vorlatek::host
