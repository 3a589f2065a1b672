#include "codec/Mp3Decoder.h"

#include <mpg123.h>

#include <algorithm>

namespace pelmora::codec {

namespace {

// A step produces at most this much, so that the file is written in large pieces.
constexpr std::size_t kOutputBufferBytes = 65536;

struct HandleDeleter {
    void operator()(mpg123_handle* mh) const { mpg123_delete(mh); }
};
using Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

// A handle in feed mode, quiet, gapless. With `only` set, the single output format allowed is
// that stream's rate and channels as 16-bit integers: mpg123 converts a later stream part of
// another format to it rather than changing the format under the caller.
Handle NewFeedHandle(const StreamInfo* only) {
    int error = MPG123_OK;
    Handle mh(mpg123_new(nullptr, &error));
    if (!mh) return nullptr;
    if (mpg123_param(mh.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0) != MPG123_OK)
        return nullptr;
    if (only) {
        const int channels = only->channels == 1 ? MPG123_MONO : MPG123_STEREO;
        if (mpg123_format_none(mh.get()) != MPG123_OK ||
            mpg123_format(mh.get(), static_cast<long>(only->sampleRate), channels,
                          MPG123_ENC_SIGNED_16) != MPG123_OK) {
            return nullptr;
        }
    }
    if (mpg123_open_feed(mh.get()) != MPG123_OK) return nullptr;
    return mh;
}

}  // namespace

int ParseStreamHeader(const std::uint8_t* data, std::size_t length, StreamInfo& info) {
    Handle mh = NewFeedHandle(nullptr);
    if (!mh || length == 0) return -1;
    std::size_t done = 0;
    // With no room for output, mpg123 parses up to the first frame and reports its format.
    if (mpg123_decode(mh.get(), data, length, nullptr, 0, &done) != MPG123_NEW_FORMAT) return -1;
    mpg123_frameinfo2 frame{};
    if (mpg123_info2(mh.get(), &frame) != MPG123_OK || frame.layer != 3 || frame.rate <= 0)
        return -1;
    info.channels = frame.mode == MPG123_M_MONO ? 1 : 2;
    info.sampleRate = static_cast<std::uint32_t>(frame.rate);
    info.bitsPerSample = 16;
    info.inputGranularity = 1;
    info.outputBufferSize = std::max(mpg123_outblock(mh.get()), kOutputBufferBytes);
    return 0;
}

std::unique_ptr<Mp3Decoder> Mp3Decoder::Open(const StreamInfo& info) {
    if (info.channels < 1 || info.channels > 2 || info.sampleRate == 0) return nullptr;
    Handle mh = NewFeedHandle(&info);
    if (!mh) return nullptr;
    std::unique_ptr<Mp3Decoder> decoder(new Mp3Decoder(info));
    decoder->handle_ = mh.release();
    return decoder;
}

Mp3Decoder::~Mp3Decoder() {
    if (handle_) mpg123_delete(handle_);
}

int Mp3Decoder::Step(const std::uint8_t* input, std::size_t available, std::size_t& consumed,
                     std::uint8_t* output, std::size_t capacity, std::size_t& produced) {
    consumed = 0;
    produced = 0;
    if (failed_) return -1;
    for (;;) {
        std::size_t done = 0;
        const int result = mpg123_read(handle_, output, capacity, &done);
        switch (result) {
        case MPG123_NEW_FORMAT: {
            long rate = 0;
            int channels = 0, encoding = 0;
            if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK ||
                rate != static_cast<long>(info_.sampleRate) || channels != info_.channels ||
                encoding != MPG123_ENC_SIGNED_16) {
                failed_ = true;
                return -1;
            }
            if (done > 0) {
                produced = done;
                return 0;
            }
            continue;
        }
        case MPG123_OK:
            produced = done;
            return 0;
        case MPG123_DONE:
            // The last block of a stream with a declared length comes with DONE.
            produced = done;
            return 1;
        case MPG123_NEED_MORE:
            if (done > 0) {
                produced = done;
                return 0;
            }
            if (consumed == 0 && available > 0) {
                if (mpg123_feed(handle_, input, available) != MPG123_OK) {
                    failed_ = true;
                    return -1;
                }
                consumed = available;
                continue;
            }
            return 0;
        default:
            failed_ = true;
            return -1;
        }
    }
}

bool Mp3Decoder::End() { return !failed_; }

}  // namespace pelmora::codec
