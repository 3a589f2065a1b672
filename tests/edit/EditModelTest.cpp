// Long random sequences of selection, loop and clipboard commands with undo and redo, checked
// after every step against an in-memory model of the editing rules: every byte of the working
// file (header, samples, the chunks after the data), the clip, loop, selection and undo state.
//
// PELMORA_EDIT_SEED=<number> runs every case from that seed; a failure prints the seed, the
// case, the step and the steps that led to it.


#include "EditModelTestBed.h"
#include "base/Error.h"
#include "edit/ClipboardOps.h"
#include "edit/EditFrame.h"
#include "edit/Selection.h"
#include "platform/File.h"
#include "platform/FreeSpace.h"
#include "support/ExternalReaders.h"

namespace pelmora::test {

Step PickStep(Rng& rng, std::uint32_t frames, std::uint32_t largest) {
    static constexpr std::pair<Step, int> kWeights[] = {
        {Step::Select, 16}, {Step::Channels, 7}, {Step::Loop, 7}, {Step::Copy, 6},
        {Step::CopyOther, 4}, {Step::Cut, 7},    {Step::Paste, 9}, {Step::Insert, 8},
        {Step::Clear, 6},   {Step::Trim, 3},     {Step::Mix, 7},   {Step::Undo, 16},
        {Step::Save, 4},    {Step::FullDiskUndo, 4}};
    for (;;) {
        int total = 0;
        for (auto [step, weight] : kWeights) total += weight;
        int pick = static_cast<int>(rng.Below(static_cast<std::uint64_t>(total)));
        for (auto [step, weight] : kWeights) {
            if (pick < weight) {
                // Keep the sound small: past `largest` frames nothing grows it.
                const bool grows = step == Step::Paste || step == Step::Insert || step == Step::Mix;
                if (grows && frames > largest) break;
                return step;
            }
            pick -= weight;
        }
    }
}

const char* StepName(Step step) {
    static constexpr const char* kNames[] = {"select", "channels", "loop", "copy", "copy-other", "cut",
                                             "paste", "insert", "clear", "trim", "mix", "undo",
                                             "save", "undo on a full disk"};
    return kNames[static_cast<int>(step)];
}

// A selection of the kinds that matter: anywhere, empty, everything, up to the end, short.
std::pair<std::uint32_t, std::uint32_t> RandomRange(Rng& rng, std::uint32_t frames) {
    switch (rng.Below(6)) {
    case 0: {
        const std::uint32_t at = rng.Between(0, frames);
        return {at, at};
    }
    case 1: return {0, frames};
    case 2: return {rng.Between(0, frames), frames};
    case 3: {
        const std::uint32_t s = rng.Between(0, frames);
        return {s, std::min(frames, s + rng.Between(1, 8))};
    }
    default: {
        std::uint32_t a = rng.Between(0, frames), b = rng.Between(0, frames);
        if (a > b) std::swap(a, b);
        return {a, b};
    }
    }
}

void EditModelTest::RunCase(const Format& f, std::uint64_t seed, const CaseSize& size) {
    Rng rng(seed);
    std::vector<std::string> history;
    auto fail = [&](const std::string& what) {
        std::ostringstream s;
        s << "seed " << seed << ", " << Describe(f) << (app.fileBackup ? "" : ", File Backup off")
          << ", step " << history.size() << ": " << what << "\nsteps before it (last 15):";
        for (std::size_t i = history.size() > 15 ? history.size() - 15 : 0; i < history.size(); ++i)
            s << "\n  " << i + 1 << ": " << history[i];
        ADD_FAILURE() << s.str();
    };

    // The document under test.
    const std::uint32_t frames = rng.Between(size.minFrames, size.maxFrames);
    EditModel m;
    m.format = f;
    m.now.frames = RandomFrames(rng, f, frames);
    const std::uint32_t loopStart = rng.Between(0, frames / 2);
    const std::uint32_t loopEnd = rng.Between(loopStart + 1, frames);
    // Save rewrites the loop and image chunks: from then on the model takes them as they stand.
    Trailing trailing = rng.Chance(85) ? RandomTrailing(rng, f.type, frames, loopStart, loopEnd, m.now)
                                       : Trailing{f.type, {}, {}, {}, {}};
    const std::string name = "case" + std::to_string(seed);
    COLMDoc& doc = OpenSound(name, f, m.now.frames, trailing.Build(m.now));
    if (trailing.present()) {
        m.now.loopStart = loopStart;
        m.now.loopEnd = loopEnd;
    }
    m.now.channelEnd = f.channels;

    // The other document: every width, type and channel count, sometimes another rate.
    Format of;
    of.type = rng.Chance(50) ? FileType::Wav : FileType::Aiff;
    of.bytes = static_cast<int>(rng.Between(1, 4));
    of.channels = static_cast<int>(rng.Between(1, 2));
    of.rate = rng.Chance(70) ? f.rate : 22050;
    const std::uint32_t otherFrames = rng.Between(100, 600) * 2;
    EditModel other;
    other.format = of;
    other.now.frames = RandomFrames(rng, of, otherFrames);
    other.now.channelEnd = of.channels;
    COLMDoc& source = OpenSound(name + "-source", of, other.now.frames, TrailingChunks(rng, of.type, otherFrames, 0, 1));
    app.Activate(doc);

    app.GetClip().info.valid = false;
    ClipModel clip;
    if (const std::string diff = Mismatch(doc, m, trailing, clip); !diff.empty()) {
        fail("after opening: " + diff);
        return;
    }

    for (int i = 0; i < size.steps; ++i) {
        const Step step = PickStep(rng, m.Frames(), 3 * size.maxFrames);
        std::ostringstream said;
        said << StepName(step);
        bool engineDid = true, modelDid = true;
        try {
            switch (step) {
            case Step::Select: {
                auto [s, e] = RandomRange(rng, m.Frames());
                said << ' ' << s << ".." << e;
                engineDid = SelectFrames(doc, s, e);
                m.now.selectionStart = s;
                m.now.selectionEnd = e;
                break;
            }
            case Step::Channels: {
                const auto choice = static_cast<ChannelChoice>(rng.Below(3));
                const char* names[] = {"both", "left", "right"};
                said << ' ' << names[static_cast<int>(choice)];
                engineDid = SelectChannels(doc, choice);
                modelDid = !(f.channels == 1 && choice == ChannelChoice::Right);
                if (modelDid) {
                    m.now.channelFirst = choice == ChannelChoice::Right ? 1 : 0;
                    m.now.channelEnd = choice == ChannelChoice::Both ? f.channels : m.now.channelFirst + 1;
                }
                break;
            }
            case Step::Loop: {
                auto [s, e] = RandomRange(rng, m.Frames());
                const std::uint32_t lock = rng.Below(3), cursor = rng.Between(0, m.Frames());
                const std::uint32_t selectionLock = rng.Below(3);
                said << ' ' << s << ".." << e << " lock " << lock << ", play cursor " << cursor
                     << ", selection lock " << selectionLock;
                engineDid = SetLoop(doc, s, e, rng.Chance(50));
                doc.loopLock = m.loopLock = lock;
                doc.playCursor = m.playCursor = cursor;
                doc.selectionLock = m.selectionLock = selectionLock;
                m.now.loopStart = s;
                m.now.loopEnd = e;
                break;
            }
            case Step::Copy:
                engineDid = Copy(doc, app.GetClip());
                modelDid = m.Copy(clip);
                break;
            case Step::CopyOther: {
                auto [s, e] = RandomRange(rng, other.Frames());
                const auto choice = static_cast<ChannelChoice>(rng.Below(of.channels == 2 ? 3 : 2));
                said << ' ' << s << ".." << e << " channel choice " << static_cast<int>(choice) << " of "
                     << Describe(of);
                SelectFrames(source, s, e);
                SelectChannels(source, choice);
                other.now.selectionStart = s;
                other.now.selectionEnd = e;
                other.now.channelFirst = choice == ChannelChoice::Right ? 1 : 0;
                other.now.channelEnd = choice == ChannelChoice::Both ? of.channels : other.now.channelFirst + 1;
                engineDid = Copy(source, app.GetClip());
                modelDid = other.Copy(clip);
                break;
            }
            case Step::Cut:
                engineDid = Cut(doc, app.GetClip());
                modelDid = m.Cut(clip);
                break;
            case Step::Clear:
                engineDid = Clear(doc);
                modelDid = m.Clear();
                break;
            case Step::Trim:
                engineDid = Trim(doc);
                modelDid = m.Trim();
                break;
            case Step::Paste:
            case Step::Insert:
            case Step::Mix: {
                // A clip of another rate asks first; Cancel leaves everything as it was.
                const bool asks = clip.valid && clip.rate != f.rate;
                const bool proceed = !asks || rng.Chance(80);
                if (asks) {
                    prompter.Script({proceed ? Answer::Ok : Answer::Cancel});
                    said << (proceed ? " (rate question: OK)" : " (rate question: Cancel)");
                }
                const std::size_t questions = prompter.questions.size();
                if (step == Step::Insert) engineDid = Insert(doc, app.GetClip());
                else if (step == Step::Paste) engineDid = Paste(doc, app.GetClip());
                else engineDid = Mix(doc, app.GetClip());
                prompter.Script({});
                if (prompter.questions.size() != questions + (asks ? 1 : 0)) {
                    fail("the rate question was " + std::string(asks ? "not asked" : "asked"));
                    return;
                }
                if (!proceed) modelDid = false;
                else if (step == Step::Insert) modelDid = m.Insert(clip);
                else modelDid = m.PasteOrMix(clip, step == Step::Mix);
                break;
            }
            case Step::Undo:
                said << (m.nextIsRedo ? " (redo)" : " (undo)");
                doc.Undo().UndoOrRedo(doc);
                m.UndoOrRedo();
                break;
            case Step::Save:
                doc.Save();
                trailing = Trailing::Of(f.type, BytesAfterData(ReadAll(doc.WorkingPath()), m), m.now);
                break;
            case Step::FullDiskUndo: {
                // The disk filled after the edit. An Undo that must write first fails before it
                // changes anything, whether the free space says so or the writes themselves
                // fail; the redo copy stays pending for a later Undo.
                if (!m.NextUndoNeedsRoom()) {
                    said << (m.nextIsRedo ? " (redo, needs no room)" : " (undo, needs no room)");
                    doc.Undo().UndoOrRedo(doc);
                    m.UndoOrRedo();
                    break;
                }
                const bool writesFail = m.NextUndoCopiesFirst() && rng.Chance(50);
                std::optional<StringId> raised;
                if (writesFail) {
                    const std::uint32_t budget = rng.Below(static_cast<std::uint64_t>(f.bytes));
                    said << " (writes fail after " << budget << " bytes)";
                    platform::SetWriteBudget(budget);
                } else {
                    said << " (no free space)";
                    platform::LimitFreeSpace(0);
                }
                try {
                    doc.Undo().UndoOrRedo(doc);
                } catch (const Error& e) {
                    raised = e.Id();
                }
                platform::SetWriteBudget(-1);
                platform::LimitFreeSpace(-1);
                // Writes that fail as on a full disk say so, never "File read error".
                const bool expected = writesFail ? raised == StringId::EmptyDiskSpace ||
                                                       raised == StringId::FileWriteError
                                                 : raised == StringId::EmptyDiskSpace;
                if (!expected) {
                    history.push_back(said.str());
                    fail(std::string("raised ") + (raised ? Text(*raised) : "nothing"));
                    return;
                }
                break;
            }
            }
        } catch (const std::exception& e) {
            history.push_back(said.str());
            fail(std::string("raised: ") + e.what());
            return;
        }
        said << " -> " << m.Frames() << " frames, selection " << m.now.selectionStart << ".."
             << m.now.selectionEnd << " ch " << m.now.channelFirst << ".." << m.now.channelEnd << ", loop "
             << m.now.loopStart << ".." << m.now.loopEnd;
        history.push_back(said.str());
        if (engineDid != modelDid) {
            fail(std::string("the engine ") + (engineDid ? "acted" : "did nothing") + ", the model " +
                 (modelDid ? "acted" : "did nothing"));
            return;
        }
        if (const std::string diff = Mismatch(doc, m, trailing, clip); !diff.empty()) {
            fail(diff);
            return;
        }
    }

    // An outside reader sees the same samples.
    const std::vector<std::int32_t> seen = SndfileSamples(doc.WorkingPath());
    std::vector<std::int32_t> wanted;
    for (const Frame& frame : m.now.frames)
        for (int ch = 0; ch < f.channels; ++ch)
            wanted.push_back(static_cast<std::int32_t>(static_cast<std::uint32_t>(frame[ch]) << (32 - 8 * f.bytes)));
    if (seen != wanted) fail("libsndfile reads other samples at the end");
    app.Discard(source);
    app.Discard(doc);
}

std::uint64_t SeedFromEnvironment(std::uint64_t fallback) {
    const char* text = std::getenv("PELMORA_EDIT_SEED");
    return text ? std::strtoull(text, nullptr, 0) : fallback;
}

// Every width, both file types, mono and stereo, File Backup on and off; small sounds for
// long sequences, and sounds of several 32768-byte blocks for the block loops and moves.
TEST_F(EditModelTest, RandomSequencesFollowTheModelInEveryFormat) {
    const std::uint64_t base = SeedFromEnvironment(20240611);
    std::uint64_t caseIndex = 0;
    for (FileType type : {FileType::Wav, FileType::Aiff}) {
        for (int bytes = 1; bytes <= 4; ++bytes) {
            for (int channels = 1; channels <= 2; ++channels) {
                const Format f{type, bytes, channels, 44100};
                for (int round = 0; round < 4; ++round) {
                    app.fileBackup = round != 1;
                    const bool large = round == 3;
                    RunCase(f, base * 1000 + caseIndex++,
                            large ? CaseSize{80, 20000, 45000} : CaseSize{400, 100, 2500});
                    if (HasFailure()) return;
                }
            }
        }
    }
}

}  // namespace pelmora::test
