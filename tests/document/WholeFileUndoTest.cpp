#include <filesystem>

#include "DocumentTestBed.h"

using namespace pelmora;
using namespace pelmora::test;

using WholeFileUndo = DocumentTestBed;

// A whole-file operation as the conversions run it: undo copy, a new working file of another
// format, redo copy. Undo and Redo then alternate for ever, format included.
TEST_F(WholeFileUndo, UndoRedoUndoAlternatesFilesAndFormats) {
    for (bool backup : {true, false}) {
        app.fileBackup = backup;
        COLMDoc& doc = app.Open(MakeSound(backup ? "b.wav" : "p.wav", "-r 8000 -b 16 -c 2"));
        const auto before = ReadAll(doc.WorkingPath());
        UndoStore& undo = doc.Undo();
        undo.SaveUndo(doc, OperationCode::WholeFile, 0, doc.Info().frames, {0, 2});
        std::filesystem::copy_file(MakeSound("eight.wav", "-r 8000 -b 8 -c 1", 0.3), doc.WorkingPath(),
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(user + "/eight.wav");
        doc.ReReadFormatKeepingLoop();
        undo.SaveRedo(doc, OperationCode::WholeFile, 0, doc.Info().frames, {0, 1});
        const auto after = ReadAll(doc.WorkingPath());
        ASSERT_TRUE(undo.Enabled());

        for (int step = 0; step < 5; ++step) {
            undo.UndoOrRedo(doc);
            const bool undone = step % 2 == 0;
            EXPECT_EQ(ReadAll(doc.WorkingPath()), undone ? before : after) << "step " << step;
            EXPECT_EQ(doc.Info().bitsPerSample, undone ? 16 : 8);
            EXPECT_EQ(doc.Info().channels, undone ? 2 : 1);
            EXPECT_EQ(undo.NextIsRedo(), undone);
        }
        app.Discard(doc);
    }
}
