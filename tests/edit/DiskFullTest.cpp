// A disk that fills up part way through an edit or a save is told as a full disk or a failed
// write, never as a read error, whichever write is the one that fails.

#include <functional>

#include "../document/DocumentTestBed.h"
#include "base/Error.h"
#include "edit/AmplitudeOps.h"
#include "edit/ClipboardOps.h"
#include "edit/Reverse.h"
#include "edit/Selection.h"
#include "platform/File.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

class DiskFull : public DocumentTestBed {
protected:
    void TearDown() override { platform::SetWriteBudget(-1); }
};

}  // namespace

TEST_F(DiskFull, EveryFailedWriteSaysSo) {
    struct Operation {
        const char* name;
        std::function<void(COLMDoc&)> run;
    };
    int saves = 0;  // each Save As writes a new file
    const std::vector<Operation> operations = {
        {"cut", [&](COLMDoc& d) { Cut(d, app.GetClip()); }},
        {"clear", [](COLMDoc& d) { Clear(d); }},
        {"trim", [](COLMDoc& d) { Trim(d); }},
        {"paste", [&](COLMDoc& d) { Paste(d, app.GetClip()); }},
        {"insert", [&](COLMDoc& d) { Insert(d, app.GetClip()); }},
        {"mix", [&](COLMDoc& d) { Mix(d, app.GetClip()); }},
        {"reverse", [](COLMDoc& d) { Reverse(d); }},
        {"gain", [](COLMDoc& d) { Gain(d, 50); }},
        {"save as", [&](COLMDoc& d) { d.SaveAsPath(user + "/copy-" + std::to_string(++saves) + ".wav"); }},
    };
    const std::string sound = MakeSound("s.wav", "-r 8000 -b 16 -c 2", 0.5);
    for (const Operation& op : operations) {
        // Budgets from nothing up to enough: each fails at another write of the operation.
        for (std::int64_t budget = 0;; budget = budget * 2 + 700) {
            COLMDoc& doc = app.Open(sound);
            SelectFrames(doc, 100, 2100);
            ASSERT_TRUE(Copy(doc, app.GetClip()));
            platform::SetWriteBudget(budget);
            std::optional<StringId> raised;
            try {
                op.run(doc);
            } catch (const Error& e) {
                raised = e.Id();
            } catch (const Cancelled&) {
                // Save As wrote the file but could not copy it to edit: the question says why.
                ASSERT_FALSE(prompter.questions.empty()) << op.name;
                EXPECT_NE(prompter.questions.back().find("(Empty disk space)"), std::string::npos)
                    << prompter.questions.back();
                raised = StringId::EmptyDiskSpace;
            }
            platform::SetWriteBudget(-1);
            app.Discard(doc);
            if (!raised) break;
            EXPECT_TRUE(*raised == StringId::EmptyDiskSpace || *raised == StringId::FileWriteError)
                << op.name << " with " << budget << " bytes to write: " << Text(*raised);
            ASSERT_LT(budget, 1 << 24) << op.name << " never succeeds";
        }
    }
}

// What a failed edit leaves is not written over the original: not by Save, not at close.
TEST_F(DiskFull, AFailedEditIsNeverSavedOverTheOriginal) {
    const std::string sound = MakeSound("s.wav", "-r 8000 -b 16 -c 2", 0.5);
    const auto original = ReadAll(sound);
    COLMDoc& doc = app.Open(sound);
    SelectFrames(doc, 0, 4000);
    platform::SetWriteBudget(20000);  // the undo copy (16000 bytes) fits, the reversed frames do not
    EXPECT_THROW(Reverse(doc), Error);
    platform::SetWriteBudget(-1);
    ASSERT_TRUE(doc.Damaged());
    try {
        doc.Save();
        ADD_FAILURE() << "Save wrote the damaged document";
    } catch (const Error& e) {
        EXPECT_EQ(e.Message(), "The last operation failed; the document may be incomplete. Use Save As to keep it "
                               "under a new name.");
    }
    EXPECT_THROW(doc.SaveAsPath(sound), Error);
    EXPECT_EQ(ReadAll(sound), original);

    // Closing tells why, and offers only Save As.
    prompter.Script({Answer::No});
    EXPECT_TRUE(doc.CanClose());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(ReadAll(sound), original);

    // A new name takes it; the document is then that file.
    EXPECT_TRUE(doc.SaveAsPath(user + "/kept.wav"));
    EXPECT_FALSE(doc.Damaged());
    app.Discard(doc);
}
