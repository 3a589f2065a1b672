// Undo and Redo after every kind of operation alternate the whole working file byte for byte,
// and a full disk at the first Undo changes nothing.

#include "EditModelTestBed.h"
#include "base/Error.h"
#include "edit/ClipboardOps.h"
#include "edit/EditFrame.h"
#include "edit/Selection.h"
#include "platform/File.h"
#include "platform/FreeSpace.h"

namespace pelmora::test {
namespace {

// The frames of a working file as built by BuildSoundFile.
std::vector<Frame> DecodeFrames(const std::vector<std::uint8_t>& file, const Format& f, std::uint32_t frames) {
    std::vector<Frame> out(frames, Frame{0, 0});
    const std::uint8_t* p = file.data() + DataOffsetOf(f.type);
    for (Frame& frame : out)
        for (int ch = 0; ch < f.channels; ++ch, p += f.bytes) frame[ch] = GetSample(p, f.type, f.bytes);
    return out;
}

enum class Kind { Cut, Clear, PastePastEnd, InsertGrowing, InsertShrinking, Trim, MixPastEnd, InPlace, WholeFile };

const char* KindName(Kind kind) {
    static constexpr const char* kNames[] = {"cut", "clear", "paste past the end", "growing insert",
                                             "shrinking insert", "trim", "mix past the end",
                                             "in-place effect", "whole-file conversion"};
    return kNames[static_cast<int>(kind)];
}

// Undo, Redo, Undo, Redo, Undo after every kind of operation: the working file alternates byte
// for byte between the two states, trailing chunks included, and so do the loop, the selection
// and the format. Stereo sounds have one channel selected, so that records of the selected
// channels and of all channels both have to give back the whole file.
TEST_F(EditModelTest, UndoAndRedoAlternateTheWholeWorkingFileByteForByte) {
    const Format formats[] = {{FileType::Wav, 2, 2, 44100},
                              {FileType::Wav, 1, 1, 22050},  // odd data: a pad byte before the chunks
                              {FileType::Aiff, 3, 2, 44100},
                              {FileType::Aiff, 1, 1, 8000}};
    Rng rng(77);
    int made = 0;
    for (const Format& f : formats) {
        for (int k = 0; k <= static_cast<int>(Kind::WholeFile); ++k) {
            const Kind kind = static_cast<Kind>(k);
            const std::uint32_t frames = 301 + (f.type == FileType::Aiff ? 1 : 0);
            const std::vector<std::uint8_t> trailing = TrailingChunks(rng, f.type, 301, 100, 200);
            COLMDoc& doc = OpenSound("alternate" + std::to_string(made++), f, RandomFrames(rng, f, frames), trailing);
            SCOPED_TRACE(Describe(f) + ", " + KindName(kind));
            SelectFrames(doc, 20, 120);
            ASSERT_TRUE(Copy(doc, app.GetClip()));  // a clip of 100 frames, all channels
            SelectChannels(doc, f.channels == 2 ? ChannelChoice::Right : ChannelChoice::Left);
            doc.loopLock = 1;

            bool did = false;
            switch (kind) {
            case Kind::Cut: SelectFrames(doc, 150, 250); did = Cut(doc, app.GetClip()); break;
            case Kind::Clear: SelectFrames(doc, 50, 150); did = Clear(doc); break;
            case Kind::PastePastEnd: SelectFrames(doc, frames - 30, frames - 30); did = Paste(doc, app.GetClip()); break;
            case Kind::InsertGrowing: SelectFrames(doc, 150, 160); did = Insert(doc, app.GetClip()); break;
            case Kind::InsertShrinking: SelectFrames(doc, 150, 290); did = Insert(doc, app.GetClip()); break;
            case Kind::Trim: SelectFrames(doc, 120, 180); did = Trim(doc); break;
            case Kind::MixPastEnd: SelectFrames(doc, frames - 10, frames); did = Mix(doc, app.GetClip()); break;
            case Kind::InPlace:
            case Kind::WholeFile: {
                SelectFrames(doc, 40, 140);
                const bool whole = kind == Kind::WholeFile;
                EditPlan plan;
                plan.code = whole ? OperationCode::WholeFile : OperationCode::InPlace;
                plan.undo = whole ? UndoRange{0, frames, AllChannels(doc)} : UndoRange{40, 140, SelectedChannels(doc)};
                did = RunEdit(doc, plan, [&] {
                    std::vector<Frame> now = DecodeFrames(ReadAll(doc.WorkingPath()), f, frames);
                    Format to = f;
                    if (whole) {
                        // Another width, and longer chunks after the data.
                        to.bytes = f.bytes == 1 ? 2 : 1;
                        for (Frame& frame : now)
                            for (std::int32_t& v : frame) v = ToWidth(v, f.bytes, to.bytes);
                        std::vector<std::uint8_t> more = trailing;
                        PutChunk(more, "zEXT", f.type == FileType::Aiff, {1, 2, 3});
                        WriteAll(doc.WorkingPath(), BuildSoundFile(to, now, more));
                        doc.ReReadFormatKeepingLoop();
                        return UndoRange{0, frames, AllChannels(doc)};
                    }
                    // Invert the selected channel of the selection.
                    for (std::uint32_t i = 40; i < 140; ++i)
                        for (int ch = doc.Info().channelFirst; ch < doc.Info().channelEnd; ++ch)
                            now[i][ch] = -1 - now[i][ch];
                    WriteAll(doc.WorkingPath(), BuildSoundFile(f, now, trailing));
                    return UndoRange{40, 140, SelectedChannels(doc)};
                });
                break;
            }
            }
            ASSERT_TRUE(did);
            // Nothing is written for the redo copy until the first Undo: the working file holds
            // it. Whole-file operations take theirs at once.
            const UndoRecord& redo = doc.Undo().RedoRecordState();
            const bool deferred = kind != Kind::WholeFile;
            EXPECT_EQ(redo.pending, deferred);
            if (deferred) {
                EXPECT_EQ(platform::FileSize(doc.RedoPath()), 0);
            }
            const std::vector<std::uint8_t> changed = ReadAll(doc.WorkingPath());
            const auto changedLoop = std::pair{doc.Info().loopStart, doc.Info().loopEnd};
            const auto changedSelection = std::pair{doc.selectionStart, doc.selectionEnd};
            const int changedBytes = doc.Info().bytesPerSample;
            ASSERT_TRUE(doc.Undo().Enabled());
            EXPECT_FALSE(doc.Undo().NextIsRedo());
            // The state before: what the undo record stands for.
            const UndoRecord& record = doc.Undo().UndoRecordState();
            std::vector<std::uint8_t> original;
            for (int step = 0; step < 5; ++step) {
                const bool undoing = step % 2 == 0;
                SCOPED_TRACE(std::string(undoing ? "undo " : "redo ") + std::to_string(step / 2 + 1));
                doc.Undo().UndoOrRedo(doc);
                const std::vector<std::uint8_t> now = ReadAll(doc.WorkingPath());
                if (step == 0) original = now;
                EXPECT_FALSE(redo.pending);
                if (deferred) {
                    EXPECT_EQ(platform::FileSize(doc.RedoPath()),
                              std::int64_t{redo.framesSaved} * redo.savedFrameSize);
                }
                EXPECT_EQ(now, undoing ? original : changed);
                EXPECT_EQ(doc.Info().workingFileLength, now.size());
                EXPECT_EQ(doc.Undo().NextIsRedo(), undoing);
                EXPECT_TRUE(doc.Undo().Enabled());
                if (undoing) {
                    EXPECT_EQ(doc.Info().frames, record.frameCount);
                    EXPECT_EQ(std::pair(doc.Info().loopStart, doc.Info().loopEnd), std::pair(record.loopStart, record.loopEnd));
                    EXPECT_EQ(std::pair(doc.selectionStart, doc.selectionEnd), std::pair(record.selectionStart, record.selectionEnd));
                    EXPECT_EQ(doc.Info().bytesPerSample, f.bytes);
                } else {
                    EXPECT_EQ(std::pair(doc.Info().loopStart, doc.Info().loopEnd), changedLoop);
                    EXPECT_EQ(std::pair(doc.selectionStart, doc.selectionEnd), changedSelection);
                    EXPECT_EQ(doc.Info().bytesPerSample, changedBytes);
                }
            }
            // The state undone is the file as it was opened.
            const std::string opened = app.fileBackup ? doc.OriginalPath() : doc.WorkingPath();
            EXPECT_EQ(original, ReadAll(opened));
            app.Discard(doc);
            if (HasFatalFailure()) return;
        }
    }
}

// The disk filled between an edit and its first Undo: the Undo fails before it writes anything,
// whether the free space tells or the writes fail, and leaves the document and the pending redo
// copy as they were; once there is room again, Undo and Redo work as if nothing had happened.
TEST_F(EditModelTest, AFullDiskAtTheFirstUndoChangesNothing) {
    const Format f{FileType::Wav, 2, 2, 44100};
    Rng rng(5);
    int made = 0;
    for (const bool backup : {true, false}) {
        for (Kind kind : {Kind::PastePastEnd, Kind::Cut, Kind::InsertShrinking}) {
            app.fileBackup = backup;
            SCOPED_TRACE(std::string(backup ? "File Backup on, " : "File Backup off, ") + KindName(kind));
            COLMDoc& doc = OpenSound("full" + std::to_string(made++), f, RandomFrames(rng, f, 400),
                                     TrailingChunks(rng, f.type, 400, 100, 200));
            const std::vector<std::uint8_t> original = ReadAll(doc.WorkingPath());
            SelectFrames(doc, 20, 120);
            ASSERT_TRUE(Copy(doc, app.GetClip()));
            bool did = false;
            if (kind == Kind::PastePastEnd) {
                SelectFrames(doc, 350, 350);
                did = Paste(doc, app.GetClip());
            } else if (kind == Kind::Cut) {
                SelectFrames(doc, 150, 250);
                did = Cut(doc, app.GetClip());
            } else {
                SelectFrames(doc, 150, 390);
                did = Insert(doc, app.GetClip());
            }
            ASSERT_TRUE(did);
            const std::vector<std::uint8_t> changed = ReadAll(doc.WorkingPath());
            const auto selection = std::pair{doc.selectionStart, doc.selectionEnd};

            auto undoFailsWith = [&](std::initializer_list<StringId> expected) {
                try {
                    doc.Undo().UndoOrRedo(doc);
                    ADD_FAILURE() << "Undo went ahead";
                } catch (const Error& e) {
                    EXPECT_NE(std::find(expected.begin(), expected.end(), e.Id()), expected.end()) << e.Message();
                }
                platform::LimitFreeSpace(-1);
                platform::SetWriteBudget(-1);
                EXPECT_EQ(ReadAll(doc.WorkingPath()), changed);
                EXPECT_EQ(std::pair(doc.selectionStart, doc.selectionEnd), selection);
                EXPECT_FALSE(doc.Undo().NextIsRedo());
                EXPECT_TRUE(doc.Undo().Enabled());
                EXPECT_TRUE(doc.Undo().RedoRecordState().pending);
                EXPECT_FALSE(progress.IsActive());
            };
            platform::LimitFreeSpace(0);
            undoFailsWith({StringId::EmptyDiskSpace});
            if (kind != Kind::Cut) {  // a Cut's redo keeps no frames: nothing to copy
                platform::SetWriteBudget(100);
                undoFailsWith({StringId::EmptyDiskSpace, StringId::FileWriteError});
            }

            for (int step = 0; step < 4; ++step) {
                doc.Undo().UndoOrRedo(doc);
                EXPECT_EQ(ReadAll(doc.WorkingPath()), step % 2 == 0 ? original : changed) << "step " << step;
            }
            app.Discard(doc);
            if (HasFatalFailure()) return;
        }
    }
}

}  // namespace
}  // namespace pelmora::test
