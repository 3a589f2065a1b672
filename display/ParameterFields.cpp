#include "display/ParameterFields.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <tuple>
#include <utility>

#include "display/FrameSpan.h"
#include "document/LoopFlag.h"

#include "sound/TimeMath.h"

namespace pelmora {

namespace {

constexpr FieldKind kPlayLocationKinds[kFieldsPerGroup] = {
    FieldKind::Hours, FieldKind::Minutes, FieldKind::Seconds, FieldKind::Milliseconds, FieldKind::Frames};
constexpr FieldKind kGroupKinds[kFieldsPerGroup] = {
    FieldKind::Frames, FieldKind::Hours, FieldKind::Minutes, FieldKind::Seconds, FieldKind::Milliseconds};

// Typed numbers beyond this are taken as this: far past any sound, and safe to multiply.
constexpr std::int64_t kTypedLimit = 1'000'000'000'000;

TimeParts PartsOf(std::uint32_t rate, std::uint32_t frames) {
    return SplitMilliseconds(FramesToMilliseconds(rate, frames));
}

std::int64_t FieldValue(const COLMDoc& doc, int field) {
    const std::uint32_t frames = GroupFrames(doc, GroupOfField(field));
    const TimeParts t = PartsOf(doc.Info().sampleRate, frames);
    switch (KindOfField(field)) {
        case FieldKind::Frames: return frames;
        case FieldKind::Hours: return t.hours;
        case FieldKind::Minutes: return t.minutes;
        case FieldKind::Seconds: return t.seconds;
        case FieldKind::Milliseconds: return t.milliseconds;
    }
    return 0;
}

// The group's frame value with one part of its time replaced. The milliseconds become frames
// rounded up, so that the time reads back as typed.
std::int64_t FramesWithTimePart(std::uint32_t rate, std::uint32_t groupFrames, FieldKind kind, std::int64_t value) {
    const TimeParts t = PartsOf(rate, groupFrames);
    std::int64_t hours = t.hours, minutes = t.minutes, seconds = t.seconds, milliseconds = t.milliseconds;
    switch (kind) {
        case FieldKind::Hours: hours = value; break;
        case FieldKind::Minutes: minutes = value; break;
        case FieldKind::Seconds: seconds = value; break;
        case FieldKind::Milliseconds: milliseconds = value; break;
        case FieldKind::Frames: return value;
    }
    // Whole seconds past this already reach beyond any frame count.
    const std::int64_t secondsCap = 0xFFFFFFFFLL / std::max<std::uint32_t>(rate, 1) + 1;
    const std::int64_t wholeSeconds = std::clamp<std::int64_t>(hours * 3600 + minutes * 60 + seconds, 0, secondsCap);
    const std::int64_t millisecondFrames = milliseconds >= 0 ? MillisecondsToFrames(rate, milliseconds)
                                                             : -std::int64_t(MillisecondsToFrames(rate, -milliseconds));
    return wholeSeconds * rate + millisecondFrames;
}

// A kept-length span as the 64-bit edges the commits compute with.
std::pair<std::int64_t, std::int64_t> Span(FrameSpan span) { return {span.start, span.end}; }

ChannelRange SelectedChannels(const SoundInfo& info) {
    if (info.channelFirst >= info.channelEnd) return {0, info.channels};
    return {info.channelFirst, info.channelEnd};
}

FieldCommit CommitSelection(COLMDoc& doc, FieldGroup group, std::int64_t v, const FieldCommitContext& context) {
    const std::int64_t n = doc.Info().frames;
    std::int64_t s = doc.selectionStart, e = doc.selectionEnd;
    const std::int64_t d = std::max<std::int64_t>(0, e - s);
    const bool lengthLocked = doc.selectionLock == 2;
    switch (group) {
        case FieldGroup::SelectionEnd:
            e = v;
            if (lengthLocked) std::tie(s, e) = Span(SpanUntil(std::uint32_t(v), std::uint32_t(d), std::uint32_t(n)));
            break;
        case FieldGroup::SelectionStart:
            s = v;
            if (lengthLocked) std::tie(s, e) = Span(SpanFrom(std::uint32_t(v), std::uint32_t(d), std::uint32_t(n)));
            break;
        default: e = s + v; break;
    }
    e = std::min(e, n);
    if (s > n) s = e = n;
    if (s > e) {
        if (group == FieldGroup::SelectionEnd) s = e;
        else e = s;
    }
    const ChannelRange channels = SelectedChannels(doc.Info());
    if (doc.selectionLock == 0 && context.snapMode != SnapMode::None) {
        const SnapMode mode = context.snapMode;
        if (group == FieldGroup::SelectionStart) s = SnapEdge(doc, {mode, std::uint32_t(s), std::uint32_t(e), channels});
        else e = SnapEdge(doc, {mode, std::uint32_t(e), std::uint32_t(s), channels});
        if (s == e && mode == SnapMode::ZeroCross)
            s = e = SnapPointClick(doc, mode, std::uint32_t(s), doc.selectionStart, doc.selectionEnd, channels);
    }
    if (s == doc.selectionStart && e == doc.selectionEnd) return FieldCommit::FieldsOnly;
    doc.selectionStart = std::uint32_t(s);
    doc.selectionEnd = std::uint32_t(e);
    doc.Info().channelFirst = channels.first;
    doc.Info().channelEnd = channels.end;
    return FieldCommit::Selection;
}

FieldCommit CommitLoop(COLMDoc& doc, FieldGroup group, std::int64_t v, const FieldCommitContext& context) {
    SoundInfo& info = doc.Info();
    const std::int64_t n = info.frames;
    std::int64_t start = info.loopStart, end = info.loopEnd;
    const std::int64_t length = std::max<std::int64_t>(0, end - start);
    const bool existed = HasLoopMarkers(info.loopStart, info.loopEnd);
    const bool lengthLocked = doc.loopLock == 2;
    switch (group) {
        case FieldGroup::LoopStart:
            start = v;
            if (lengthLocked)
                std::tie(start, end) = Span(SpanFrom(std::uint32_t(v), std::uint32_t(length), std::uint32_t(n)));
            break;
        case FieldGroup::LoopEnd:
            end = v;
            if (lengthLocked)
                std::tie(start, end) = Span(SpanUntil(std::uint32_t(v), std::uint32_t(length), std::uint32_t(n)));
            break;
        default: end = std::min(start + v, n); break;
    }
    if (start > end) {
        // An existing loop keeps the edge that was not typed; a new one grows from the typed start.
        const bool typedStart = group == FieldGroup::LoopStart;
        if (existed == typedStart) start = end;
        else end = start;
    }
    if (doc.loopLock == 0 && context.transport == Transport::Idle && context.snapMode != SnapMode::None) {
        const ChannelRange all{0, info.channels};
        const SnapMode mode = context.snapMode;
        if (group == FieldGroup::LoopStart) start = SnapEdge(doc, {mode, std::uint32_t(start), std::uint32_t(end), all});
        else end = SnapEdge(doc, {mode, std::uint32_t(end), std::uint32_t(start), all});
    }
    if (start == info.loopStart && end == info.loopEnd) return FieldCommit::FieldsOnly;
    const std::uint32_t startBefore = info.loopStart, endBefore = info.loopEnd;
    info.loopStart = std::uint32_t(start);
    info.loopEnd = std::uint32_t(end);
    SwitchOnCreatedLoop(info, startBefore, endBefore);
    return FieldCommit::Loop;
}

}  // namespace

std::string WidestFieldText(FieldKind kind) {
    switch (kind) {
        case FieldKind::Frames: return "4294967295";
        case FieldKind::Hours: return "298";
        case FieldKind::Minutes:
        case FieldKind::Seconds: return "59";
        case FieldKind::Milliseconds: return "999";
    }
    return {};
}

FieldGroup GroupOfField(int field) { return static_cast<FieldGroup>(field / kFieldsPerGroup); }

FieldKind KindOfField(int field) {
    const int place = field % kFieldsPerGroup;
    return GroupOfField(field) == FieldGroup::PlayLocation ? kPlayLocationKinds[place] : kGroupKinds[place];
}

int FieldOf(FieldGroup group, FieldKind kind) {
    const FieldKind* kinds = group == FieldGroup::PlayLocation ? kPlayLocationKinds : kGroupKinds;
    const int place = int(std::find(kinds, kinds + kFieldsPerGroup, kind) - kinds);
    return static_cast<int>(group) * kFieldsPerGroup + place;
}

bool IsSelectionGroup(FieldGroup group) {
    return group == FieldGroup::SelectionStart || group == FieldGroup::SelectionEnd ||
           group == FieldGroup::SelectionLength;
}

bool IsLoopGroup(FieldGroup group) {
    return group == FieldGroup::LoopStart || group == FieldGroup::LoopEnd || group == FieldGroup::LoopLength;
}

std::uint32_t GroupFrames(const COLMDoc& doc, FieldGroup group) {
    const SoundInfo& info = doc.Info();
    switch (group) {
        case FieldGroup::PlayLocation: return doc.playCursor;
        case FieldGroup::SelectionStart: return doc.selectionStart;
        case FieldGroup::SelectionEnd: return doc.selectionEnd;
        case FieldGroup::SelectionLength:
            return doc.selectionEnd > doc.selectionStart ? doc.selectionEnd - doc.selectionStart : 0;
        case FieldGroup::LoopStart: return info.loopStart;
        case FieldGroup::LoopEnd: return info.loopEnd;
        case FieldGroup::LoopLength: return info.loopEnd > info.loopStart ? info.loopEnd - info.loopStart : 0;
    }
    return 0;
}

std::string FieldText(const COLMDoc& doc, int field) {
    const std::int64_t value = FieldValue(doc, field);
    char text[32];
    switch (KindOfField(field)) {
        case FieldKind::Frames: std::snprintf(text, sizeof text, "%-ld", long(value)); break;
        case FieldKind::Milliseconds: std::snprintf(text, sizeof text, "%03d", int(value)); break;
        default: std::snprintf(text, sizeof text, "%02d", int(value)); break;
    }
    return text;
}

bool IsFieldLocked(int field, std::uint32_t selectionLock, std::uint32_t loopLock) {
    const FieldGroup group = GroupOfField(field);
    if (IsSelectionGroup(group))
        return selectionLock == 1 || (selectionLock == 2 && group == FieldGroup::SelectionLength);
    if (IsLoopGroup(group)) return loopLock == 1 || (loopLock == 2 && group == FieldGroup::LoopLength);
    return false;
}

int NextField(int current, bool backward, std::uint32_t selectionLock, std::uint32_t loopLock) {
    const int step = backward ? kParameterFieldCount - 1 : 1;
    int field = current;
    for (int i = 0; i < kParameterFieldCount; ++i) {
        field = (field + step) % kParameterFieldCount;
        if (!IsFieldLocked(field, selectionLock, loopLock)) return field;
    }
    return current;
}

std::int64_t ReadTypedInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = std::min(kTypedLimit, value * 10 + (text[i] - '0'));
    return negative ? -value : value;
}

FieldCommit CommitField(COLMDoc& doc, int field, std::string_view typed, const FieldCommitContext& context) {
    const std::int64_t value = ReadTypedInteger(typed);
    if (value == FieldValue(doc, field)) return FieldCommit::Nothing;
    const FieldGroup group = GroupOfField(field);
    // A locked group keeps its values.
    if (IsFieldLocked(field, doc.selectionLock, doc.loopLock)) return FieldCommit::FieldsOnly;
    const SoundInfo& info = doc.Info();
    const std::int64_t frames = std::clamp<std::int64_t>(
        FramesWithTimePart(info.sampleRate, GroupFrames(doc, group), KindOfField(field), value), 0, info.frames);
    if (group == FieldGroup::PlayLocation) {
        // Nothing plays while a field is typed into; the play position moves there.
        if (context.transport != Transport::Idle) return FieldCommit::FieldsOnly;
        doc.playCursor = static_cast<std::uint32_t>(frames);
        doc.view.currentPosition = doc.playCursor;
        return FieldCommit::PlayLocation;
    }
    return IsSelectionGroup(group) ? CommitSelection(doc, group, frames, context)
                                   : CommitLoop(doc, group, frames, context);
}

}  // namespace pelmora
