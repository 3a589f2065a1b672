#include "edit/Selection.h"

#include "document/LoopFlag.h"

namespace pelmora {

bool SelectFrames(COLMDoc& doc, std::uint32_t start, std::uint32_t end) {
    if (start > end || end > doc.Info().frames) return false;
    doc.selectionStart = start;
    doc.selectionEnd = end;
    return true;
}

void SelectAll(COLMDoc& doc) { SelectFrames(doc, 0, doc.Info().frames); }

bool SelectChannels(COLMDoc& doc, ChannelChoice choice) {
    SoundInfo& info = doc.Info();
    if (info.channels < 2 && choice == ChannelChoice::Right) return false;
    info.channelFirst = choice == ChannelChoice::Right ? 1 : 0;
    info.channelEnd = static_cast<std::uint16_t>(choice == ChannelChoice::Both ? info.channels : info.channelFirst + 1);
    return true;
}

bool SetLoop(COLMDoc& doc, std::uint32_t start, std::uint32_t end, bool on) {
    SoundInfo& info = doc.Info();
    if (start > end || end > info.frames) return false;
    info.loopStart = start;
    info.loopEnd = end;
    info.loopOn = on;
    return true;
}

void SelectLoop(COLMDoc& doc) {
    doc.selectionStart = doc.Info().loopStart;
    doc.selectionEnd = doc.Info().loopEnd;
}

void SelectionToLoop(COLMDoc& doc) {
    SoundInfo& info = doc.Info();
    const std::uint32_t startBefore = info.loopStart, endBefore = info.loopEnd;
    info.loopStart = doc.selectionStart;
    info.loopEnd = doc.selectionEnd;
    SwitchOnCreatedLoop(info, startBefore, endBefore);
}

}  // namespace pelmora
