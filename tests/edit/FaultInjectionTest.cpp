// Every document operation with one failing file call, at each call it makes in turn and with
// several errors: the user's files are the old ones or the complete new ones, a failure is
// reported exactly when a fault mattered, the document stays usable or is closed, and no file of
// ours is left that the recovery manifest does not name.

#include <cerrno>
#include <functional>
#include <map>

#include "../document/DocumentTestBed.h"
#include "base/Error.h"
#include "document/Conversions.h"
#include "document/Recovery.h"
#include "document/SoundFileIo.h"
#include "edit/AmplitudeOps.h"
#include "edit/ClipboardOps.h"
#include "edit/Resample.h"
#include "edit/Reverse.h"
#include "edit/Selection.h"
#include "platform/File.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

// What a file holds as sound: its frames' bytes and loop; empty when absent or unreadable.
struct SoundState {
    bool present = false;
    std::vector<std::uint8_t> data;
    bool loopOn = false;
    std::uint32_t loopStart = 0, loopEnd = 0;
    bool operator==(const SoundState&) const = default;
};

SoundState StateOf(const std::string& path, FileType type) {
    SoundState state;
    if (!platform::FileExists(path)) return state;
    state.present = true;
    try {
        SoundInfo info;
        ReadSoundFile(path, type, info);
        const auto bytes = ReadAll(path);
        const std::size_t size = static_cast<std::size_t>(info.frames) * info.blockAlign;
        state.data.assign(bytes.begin() + info.dataOffset, bytes.begin() + info.dataOffset + size);
        state.loopOn = info.loopOn;
        state.loopStart = info.loopStart;
        state.loopEnd = info.loopEnd;
    } catch (const Error&) {
        state.data = {0xEE};  // unreadable: equal to nothing a complete file holds
    }
    return state;
}

struct Operation {
    const char* name;
    std::function<void(COLMDoc&)> prepare;    // without faults
    std::function<bool(COLMDoc*&)> run;       // false: the operation declined; the document may be closed
    std::vector<std::string> userFiles;       // besides the sound: files it may write
    bool edit = false;                        // an edit: Undo after its failure restores the frames
    Answer answer = Answer::Yes;              // to the question it asks
};

struct Outcome {
    std::map<std::string, SoundState> user;
    SoundState working;
    bool open = false;
};

constexpr int kErrors[] = {EIO, ENOSPC, EACCES, EXDEV};

class FaultInjection : public DocumentTestBed {
protected:
    void SetUp() override { platform::FailNthCall(0, 0); }
    void TearDown() override { platform::FailNthCall(0, 0); }

    void Restore() {
        WriteAll(sound, soundBytes);
        for (const char* name : {"new.wav", "new.aif", "other.wav"}) platform::RemoveFile(user + "/" + name);
        WriteAll(user + "/other.wav", soundBytes);
    }

    Outcome Observe(const Operation& op, COLMDoc* doc) {
        Outcome out;
        out.user[sound] = StateOf(sound, FileType::Wav);
        for (const std::string& file : op.userFiles)
            out.user[file] = StateOf(file, TypeForExtension(file, FileType::Wav));
        out.open = doc && !app.Documents().empty();
        if (out.open) out.working = StateOf(doc->WorkingPath(), doc->Info().fileType);
        return out;
    }

    // Our files in the working directory that the manifest does not name, and partial saves.
    std::vector<std::string> Strays() {
        app.RefreshManifest();
        std::string named;
        for (const auto& entry : std::filesystem::directory_iterator(work))
            if (entry.path().filename().string().starts_with(kManifestPrefix)) {
                const auto bytes = ReadAll(entry.path());
                named.assign(bytes.begin(), bytes.end());
            }
        std::vector<std::string> strays;
        for (const auto& entry : std::filesystem::directory_iterator(work)) {
            const std::string name = entry.path().filename();
            if (!name.starts_with(kManifestPrefix) && named.find(entry.path().string() + "\n") == std::string::npos)
                strays.push_back(name);
        }
        for (const auto& entry : std::filesystem::directory_iterator(user))
            if (entry.path().filename().string().find(".saving-") != std::string::npos)
                strays.push_back(entry.path().filename());
        return strays;
    }

    COLMDoc* Prepared(const Operation& op) {
        Restore();
        if (!op.prepare) return nullptr;
        COLMDoc* doc = &app.Open(sound);
        op.prepare(*doc);
        return doc;
    }

    void DiscardAll() {
        while (!app.Documents().empty()) app.Discard(*app.Documents().back());
    }

    // Runs the operation once without faults, then once failing each of its calls; the number
    // of fault points covered.
    std::int64_t Exercise(const Operation& op) {
        COLMDoc* doc = Prepared(op);
        const Outcome before = Observe(op, doc);
        const std::int64_t first = platform::FileCallCount();
        prompter.Script({op.answer});
        EXPECT_TRUE(op.run(doc)) << op.name;
        const std::int64_t calls = platform::FileCallCount() - first;
        const Outcome after = Observe(op, doc);
        DiscardAll();

        for (std::int64_t n = 1; n <= calls; ++n) {
            doc = Prepared(op);
            const int error = kErrors[n % 4];
            prompter.Script({op.answer});
            platform::FailNthCall(n, error);
            std::string failure;
            bool done = false;
            try {
                done = op.run(doc);
            } catch (const Error& e) {
                failure = e.Message();
            } catch (const Cancelled&) {
                failure = "cancelled";
            }
            const bool fired = !platform::FaultPending();
            platform::FailNthCall(0, 0);
            const std::string at = std::string(op.name) + ", call " + std::to_string(n) + " of " +
                                   std::to_string(calls) + ", errno " + std::to_string(error);
            if (!done) doc = app.Documents().empty() ? nullptr : app.Documents().back().get();
            const Outcome outcome = Observe(op, doc);
            for (const auto& [path, state] : outcome.user)
                EXPECT_TRUE(state == before.user.at(path) || state == after.user.at(path)) << at << ": " << path;
            if (done) {
                EXPECT_EQ(outcome.user, after.user) << at << ": reported success";
                EXPECT_EQ(outcome.working, after.working) << at << ": reported success";
            } else {
                EXPECT_TRUE(fired) << at << ": failed without a fault: " << failure;
                EXPECT_FALSE(failure.empty()) << at << ": failed without saying why";
            }
            EXPECT_EQ(Strays(), std::vector<std::string>{}) << at;
            if (!done && outcome.open) {
                // Usable: what it holds can at least be kept under a new name.
                COLMDoc& left = *app.Documents().back();
                if (op.edit && left.Undo().Enabled()) {
                    EXPECT_NO_THROW(left.Undo().UndoOrRedo(left)) << at;
                    EXPECT_EQ(StateOf(left.WorkingPath(), left.Info().fileType), before.working) << at << ": undone";
                }
                const std::string rescue = user + "/rescue.wav";
                EXPECT_NO_THROW(left.SaveAsPath(rescue)) << at;
                platform::RemoveFile(rescue);
            }
            DiscardAll();
            EXPECT_EQ(FilesIn(work), std::set<std::string>{}) << at;
        }
        return calls;
    }

    std::string sound;
    std::vector<std::uint8_t> soundBytes;
};

}  // namespace

TEST_F(FaultInjection, EveryOperationFailsCleanlyAtEveryCall) {
    sound = MakeSound("s.wav", "-r 8000 -b 16 -c 2", 0.25);
    soundBytes = ReadAll(sound);
    const auto select = [](COLMDoc& d) { ASSERT_TRUE(SelectFrames(d, 100, 1300)); };
    const auto reversed = [&](COLMDoc& d) {
        select(d);
        ASSERT_TRUE(Reverse(d));
    };
    const auto edit = [](bool (*op)(COLMDoc&)) { return [op](COLMDoc*& d) { return op(*d); }; };
    const std::vector<Operation> operations = {
        {"open", {}, [&](COLMDoc*& d) { d = &app.Open(sound); return true; }, {}},
        {"reverse", select, edit(Reverse), {}, true},
        {"gain", select, [](COLMDoc*& d) { return Gain(*d, 50); }, {}, true},
        {"cut", select, [&](COLMDoc*& d) { return Cut(*d, app.GetClip()); }, {}, true},
        {"paste",
         [&](COLMDoc& d) {
             select(d);
             ASSERT_TRUE(Copy(d, app.GetClip()));
         },
         [&](COLMDoc*& d) { return Paste(*d, app.GetClip()); },
         {},
         true},
        {"undo", reversed, [](COLMDoc*& d) { d->Undo().UndoOrRedo(*d); return true; }, {}},
        {"redo",
         [&](COLMDoc& d) {
             reversed(d);
             d.Undo().UndoOrRedo(d);
         },
         [](COLMDoc*& d) { d->Undo().UndoOrRedo(*d); return true; },
         {}},
        {"save", reversed, [](COLMDoc*& d) { d->Save(); return true; }, {}},
        {"save as", reversed, [&](COLMDoc*& d) { return d->SaveAsPath(user + "/new.wav"); }, {user + "/new.wav"}},
        {"save as aiff", reversed, [&](COLMDoc*& d) { return d->SaveAsPath(user + "/new.aif"); },
         {user + "/new.aif"}},
        {"save as over another", reversed, [&](COLMDoc*& d) { return d->SaveAsPath(user + "/other.wav"); },
         {user + "/other.wav"}, false, Answer::Ok},
        {"convert bit size", select, [](COLMDoc*& d) { ConvertBitSize(*d, 3); return true; }, {}},
        {"delete channel", select, [](COLMDoc*& d) { DeleteChannel(*d, 0); return true; }, {}},
        {"swap channels", select, [](COLMDoc*& d) { SwapChannels(*d); return true; }, {}},
        {"format conversion", select, [](COLMDoc*& d) { return ConvertToOtherType(*d); }, {}},
        {"resample", select, [](COLMDoc*& d) { return Resample(*d, {5, -30, 11025}); }, {}},
        {"undo conversion", [](COLMDoc& d) { ConvertBitSize(d, 3); },
         [](COLMDoc*& d) { d->Undo().UndoOrRedo(*d); return true; }, {}},
        {"revert", reversed, [](COLMDoc*& d) { return d->Revert(); }, {}},
        {"close saving", reversed,
         [&](COLMDoc*& d) {
             if (!app.Close(*d)) return false;
             d = nullptr;
             return true;
         },
         {}},
    };
    std::int64_t points = 0;
    for (const Operation& op : operations) points += Exercise(op);
    std::printf("fault points covered: %lld\n", static_cast<long long>(points));
}
