#pragma once
// The 35 value fields of the parameter pane: play location, selection and loop as frames and as
// hours, minutes, seconds and milliseconds. Their texts, the Tab order past locked groups, and
// what a typed value does to the document's selection or loop.

#include <cstdint>
#include <string>
#include <string_view>

#include "display/SnapEdge.h"
#include "display/WaveformView.h"
#include "document/COLMDoc.h"

namespace pelmora {

inline constexpr int kParameterFieldCount = 35;
inline constexpr int kFieldsPerGroup = 5;

enum class FieldGroup {
    PlayLocation,
    SelectionStart,
    SelectionEnd,
    SelectionLength,
    LoopStart,
    LoopEnd,
    LoopLength,
};

enum class FieldKind { Frames, Hours, Minutes, Seconds, Milliseconds };

// Fields are numbered in Tab order: five per group, frames first, except the play location,
// whose frames come after its time.
FieldGroup GroupOfField(int field);
FieldKind KindOfField(int field);
int FieldOf(FieldGroup group, FieldKind kind);

bool IsSelectionGroup(FieldGroup group);
bool IsLoopGroup(FieldGroup group);

// The frame value a group shows.
std::uint32_t GroupFrames(const COLMDoc& doc, FieldGroup group);
std::string FieldText(const COLMDoc& doc, int field);
// The widest text a field of the kind can show: the largest frame number, and the largest
// time parts of the longest sound (4294967295 frames at the lowest rate, 4000 Hz).
std::string WidestFieldText(FieldKind kind);

// Whether a lock keeps the field from being edited.
bool IsFieldLocked(int field, std::uint32_t selectionLock, std::uint32_t loopLock);
// The next field of the Tab order (the previous one with `backward`), past locked fields; after
// the last field comes the first.
int NextField(int current, bool backward, std::uint32_t selectionLock, std::uint32_t loopLock);

// What a commit changed, so that the pane knows what to rewrite and redraw.
enum class FieldCommit {
    Nothing,     // the typed value is the one shown
    FieldsOnly,  // the document kept its values; the fields show them again
    Selection,
    Loop,
    PlayLocation,
};

struct FieldCommitContext {
    SnapMode snapMode = SnapMode::None;
    Transport transport = Transport::Idle;
};

// The typed text as the integer it starts with (0 when it has none).
std::int64_t ReadTypedInteger(std::string_view text);

// Enter, Tab or the full stop in a field's edit box.
FieldCommit CommitField(COLMDoc& doc, int field, std::string_view typed, const FieldCommitContext& context);

}  // namespace pelmora
