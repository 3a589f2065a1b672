#include "edit/Equalizer.h"

#include <algorithm>
#include <vector>

#include "edit/EqFilter.h"
#include "edit/SelectionStream.h"
#include "sound/SampleCodec.h"

namespace pelmora {

namespace {

// Filters the selected channels of `frames` frames; writes the results back when `Write`. The
// channel count is fixed at compile time so that a stereo pair runs as two independent chains.
template <typename Codec, std::size_t Channels, bool Write>
void FilterFrames(const EqCascade& cascade, eq::ChannelState* states, std::uint8_t* block,
                  std::size_t frames, std::size_t frameSize, std::size_t firstChannel) {
    constexpr int kBytes = Codec::kBytes;
    std::uint8_t* p = block + firstChannel * kBytes;
    for (std::size_t i = 0; i < frames; ++i, p += frameSize) {
        for (std::size_t c = 0; c < Channels; ++c) {
            std::uint8_t* sample = p + c * kBytes;
            const eq::Raw r = eq::RunCascade(cascade, states[c], eq::Input<kBytes>(Codec::Read(sample)));
            if constexpr (Write) Codec::Write(sample, eq::Output<kBytes>(r));
        }
    }
}

template <typename Codec, bool Write>
void FilterBlock(const EqCascade& cascade, std::vector<eq::ChannelState>& states, std::uint8_t* block,
                 std::size_t frames, std::size_t frameSize, ChannelRange channels) {
    if (channels.Count() == 2)
        FilterFrames<Codec, 2, Write>(cascade, states.data(), block, frames, frameSize, channels.first);
    else
        FilterFrames<Codec, 1, Write>(cascade, states.data(), block, frames, frameSize, channels.first);
}

}  // namespace

bool Equalize(COLMDoc& doc, const EqBands& bands) {
    if (EqIsFlat(bands) || doc.selectionEnd <= doc.selectionStart) return false;
    const SoundInfo& info = doc.Info();
    const EqCascade cascade = EqDesignCascade(bands, info.sampleRate);
    const ChannelRange channels = SelectedChannels(doc);
    const std::uint32_t first = doc.selectionStart, count = doc.selectionEnd - doc.selectionStart;
    const std::size_t frameSize = info.blockAlign;
    // The display counts percent, not blocks.
    return RunInPlaceEdit(doc, StringId::EqOperation, 100, [&](platform::File& working, BlockSteps&) {
        ProgressTask& progress = doc.Host().Progress();
        std::vector<eq::ChannelState> states(channels.Count());
        WithSampleCodec(info.fileType, info.bytesPerSample, [&](auto codec) {
            using Codec = decltype(codec);
            // The frames just before the selection settle the history; they stay as they are.
            const std::uint32_t warmUp = std::min<std::uint32_t>(first, 100);
            ScanFrames(working, info, first - warmUp, warmUp, [&](std::uint8_t* block, std::size_t frames) {
                FilterBlock<Codec, false>(cascade, states, block, frames, frameSize, channels);
            });
            std::uint64_t done = 0;
            RewriteFrames(working, info, first, count, [&](std::uint8_t* block, std::size_t frames) {
                FilterBlock<Codec, true>(cascade, states, block, frames, frameSize, channels);
                done += frames;
            }, [&] { progress.Step(done * 100 / count, 100); });
        });
        progress.Step(100, 100);
    });
}

}  // namespace pelmora
