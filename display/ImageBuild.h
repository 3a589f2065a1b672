#pragma once
// Filling a document's waveform image from its working file: the quick coarse pass, the full
// build with its progress display, and the idle refinement.

#include <cstdint>

#include "display/WaveformImage.h"

namespace pelmora {

class COLMDoc;

// After a change of samples (callers set Stale first) or when the display needs the image:
// sizes the image for the sound, runs the coarse pass over the points affected and, when the
// waveform is shown zoomed out to framesPerPoint or more frames per column, the full build over
// [start, end). `whole` recomputes a Partial image that no longer has the sound's size.
void PrepareImage(COLMDoc& doc, WaveformImage& image, bool whole, std::uint32_t start,
                  std::uint32_t end);

// Points between two exact ones of a coarse pass over `points` points of a sound at `rate`.
std::uint32_t CoarseStride(std::uint64_t points, std::uint32_t framesPerPoint, std::uint32_t rate);

// Computes one point in every stride and fills the points between with its estimate; points the
// file cannot supply become empty pairs. The image becomes Partial.
void CoarseImagePass(const COLMDoc& doc, WaveformImage& image, std::uint64_t firstPoint,
                     std::uint64_t byteCount);

enum class BuildOutcome { Done, Cancelled, Failed };

// Computes every point of [start, end) (point-aligned frames) that is not exact, under the
// progress display with ESC. Done: the image is Exact when no estimate is left anywhere. ESC
// hides the waveform and drops an image that is not Partial. A read or memory failure drops
// the image (the pane then draws from the samples).
BuildOutcome BuildImage(COLMDoc& doc, WaveformImage& image, std::uint32_t start, std::uint32_t end);

// One step of the idle refinement: computes the first run of points that are not exact (at most
// one block), or turns a Partial image with none left into an Exact one. True when it computed.
bool RefineImageStep(const COLMDoc& doc, WaveformImage& image);

// Whether every point of the image is exact.
bool AllPointsExact(const WaveformImage& image, const ImageGeometry& g);

std::int64_t CurrentTimeSeconds();

}  // namespace pelmora
