// The waveform image: `image ZOOM FIRST COLUMNS` completes the image as the full build does and
// prints the columns the waveform pane would draw from it.

#include <cstdio>

#include "base/Error.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "display/DocumentWaveform.h"
#include "display/ImageColumns.h"

namespace pelmora::cli {

namespace {

constexpr long long kLadderTop = 131072;
constexpr long long kMaxColumns = 1 << 24;

void ImageCommand(CliSession& session, const Args& args) {
    const long long zoom = ParseInteger(args[0], "ZOOM", 1, kLadderTop);
    if ((zoom & (zoom - 1)) != 0) throw UsageError("ZOOM must be a power of two: " + args[0]);
    COLMDoc& doc = session.Current();
    const auto first = static_cast<std::uint32_t>(ParseInteger(args[1], "FIRST", 0, doc.Info().frames));
    const auto columns = static_cast<std::uint32_t>(ParseInteger(args[2], "COLUMNS", 1, kMaxColumns));
    DocumentWaveform* waveform = WaveformOf(doc);
    if (!waveform) throw CommandFailure("the document has no waveform image");
    if (zoom < waveform->Image().framesPerPoint)
        throw CommandFailure("ZOOM must be at least the image's frames per point (" +
                             std::to_string(waveform->Image().framesPerPoint) + ")");
    switch (waveform->CompleteImage()) {
    case BuildOutcome::Done: break;
    case BuildOutcome::Cancelled: throw Cancelled();
    case BuildOutcome::Failed: throw CommandFailure("the waveform image could not be built");
    }
    const ImageColumns drawn =
        ReadImageColumns(waveform->Image(), doc.Info(), static_cast<double>(zoom), first, columns);
    for (std::uint32_t column = 0; column < drawn.columns; ++column) {
        for (std::uint16_t c = 0; c < drawn.channels; ++c) {
            const ColumnExtent& e = drawn.At(column, c);
            std::printf(c == 0 ? "%d %d" : " %d %d", e.high, e.low);
        }
        std::printf("\n");
    }
}

}  // namespace

void AppendImageCommands(std::vector<CommandSpec>& table) {
    table.push_back({"image", 3, ImageCommand, "ZOOM FIRST COLUMNS",
                     "print the waveform columns drawn at ZOOM frames per column"});
}

}  // namespace pelmora::cli
