#include "edit/SelectionStream.h"

namespace pelmora {

std::uint64_t SelectionBlocks(const COLMDoc& doc) {
    return BlocksForFrames(doc.selectionEnd - doc.selectionStart, doc.Info().blockAlign);
}

bool RunInPlaceEdit(COLMDoc& doc, StringId status, std::uint64_t blocks,
                    const std::function<void(platform::File&, BlockSteps&)>& body) {
    const std::uint32_t start = doc.selectionStart, end = doc.selectionEnd;
    if (end <= start) return false;
    const SoundInfo& info = doc.Info();
    const ChannelRange channels = SelectedChannels(doc);
    const std::uint64_t copyBytes =
        static_cast<std::uint64_t>(end - start) * channels.Count() * info.bytesPerSample;
    EditPlan plan;
    plan.code = OperationCode::InPlace;
    plan.needs = {2 * copyBytes, 0};
    plan.undo = {start, end, channels};
    return RunEdit(doc, plan, [&] {
        platform::File working = doc.OpenWorkingFile(true);
        ProgressTask& progress = doc.Host().Progress();
        progress.Start(status);
        progress.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(blocks, UINT32_MAX)));
        BlockSteps steps(progress, blocks);
        body(working, steps);
        progress.End();
        doc.NotifyFramesChanged(start, end - start);
        return plan.undo;
    });
}

}  // namespace pelmora
