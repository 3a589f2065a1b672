#include <sys/stat.h>

#include "DocumentTestBed.h"
#include "base/Error.h"
#include "platform/File.h"
#include "platform/FreeSpace.h"
#include "sound/Bytes.h"
#include "support/ExternalReaders.h"

using namespace pelmora;
using namespace pelmora::test;

using DocumentLifecycle = DocumentTestBed;

TEST_F(DocumentLifecycle, BackupModeTouchesTheOriginalOnlyWhenSaved) {
    const std::string path = MakeSound("a.wav", "-r 44100 -b 16 -c 2");
    const auto original = ReadAll(path);
    COLMDoc& doc = app.Open(path);
    EXPECT_TRUE(doc.FileBackup());
    EXPECT_NE(doc.WorkingPath(), path);
    EXPECT_EQ(ReadAll(doc.WorkingPath()), original);
    EXPECT_FALSE(doc.CanSave());
    EXPECT_FALSE(doc.CanRevert());

    ChangeData(doc);
    EXPECT_TRUE(doc.CanSave());
    EXPECT_TRUE(doc.CanRevert());
    EXPECT_EQ(ReadAll(path), original);

    // Revert asks first; No keeps every change.
    prompter.Script({Answer::No});
    EXPECT_FALSE(doc.Revert());
    EXPECT_TRUE(doc.DataChanged());
    EXPECT_NE(ReadAll(doc.WorkingPath()), original);
    prompter.Script({Answer::Yes});
    EXPECT_TRUE(doc.Revert());
    EXPECT_FALSE(doc.DataChanged());
    EXPECT_EQ(ReadAll(doc.WorkingPath()), original);
    EXPECT_EQ(prompter.questions, std::vector<std::string>(2, "Discard all changes to a.wav since it was last saved?"));
    prompter.questions.clear();

    ChangeData(doc, 0x33);
    const auto edited = SndfileSamples(doc.WorkingPath());
    doc.Save();
    EXPECT_FALSE(doc.DataChanged());
    EXPECT_EQ(SndfileSamples(path), edited);

    EXPECT_TRUE(app.Close(doc));
    EXPECT_TRUE(prompter.questions.empty());
    EXPECT_EQ(FilesIn(work), std::set<std::string>{});
    EXPECT_EQ(FilesIn(user), std::set<std::string>{"a.wav"});
}

TEST_F(DocumentLifecycle, CloseQuestionsWithFileBackup) {
    const std::string path = MakeSound("a.wav", "-r 22050 -b 8 -c 1");
    const auto original = ReadAll(path);

    // Cancel keeps the document open and both files as they were.
    COLMDoc& doc = app.Open(path);
    ChangeData(doc);
    const auto edited = ReadAll(doc.WorkingPath());
    prompter.Script({Answer::Cancel});
    EXPECT_FALSE(app.Close(doc));
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(prompter.questions[0], "Close\n\nDo you save this file onto the original ?\n\n" + path);
    EXPECT_EQ(ReadAll(path), original);
    EXPECT_EQ(ReadAll(doc.WorkingPath()), edited);

    // No drops the changes.
    prompter.Script({Answer::No});
    EXPECT_TRUE(app.Close(doc));
    EXPECT_EQ(ReadAll(path), original);
    EXPECT_EQ(FilesIn(work), std::set<std::string>{});

    // Yes moves the edited copy onto the original.
    COLMDoc& again = app.Open(path);
    ChangeData(again, 0x11);
    const auto edited2 = SndfileSamples(again.WorkingPath());
    prompter.Script({Answer::Yes});
    EXPECT_TRUE(app.Close(again));
    EXPECT_EQ(SndfileSamples(path), edited2);
    EXPECT_EQ(FilesIn(work), std::set<std::string>{});
}

TEST_F(DocumentLifecycle, ReadOnlyOriginal) {
    const std::string path = MakeSound("ro.wav", "-r 22050 -b 16 -c 1");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const auto original = ReadAll(path);

    COLMDoc& doc = app.Open(path);  // File Backup on: editable copy
    EXPECT_FALSE(doc.ReadOnly());
    ChangeData(doc);
    EXPECT_FALSE(doc.CanSave());
    prompter.Script({Answer::Ok});
    EXPECT_TRUE(app.Close(doc));
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(prompter.questions[0], "This file cannot be saved for read only.");
    EXPECT_EQ(ReadAll(path), original);

    app.fileBackup = false;
    COLMDoc& inPlace = app.Open(path);
    EXPECT_TRUE(inPlace.ReadOnly());
    EXPECT_EQ(prompter.messages.back(), "This file is read only.");
    EXPECT_TRUE(app.Close(inPlace));
}

TEST_F(DocumentLifecycle, LoopOnlyChangeWritesLoopDataButNotSamples) {
    const std::string path = MakeSound("loop.wav", "-r 44100 -b 16 -c 1");
    const auto samplesBefore = SndfileSamples(path);
    COLMDoc& doc = app.Open(path);
    doc.Info().loopOn = true;
    doc.Info().loopStart = 100;
    doc.Info().loopEnd = 900;
    EXPECT_TRUE(doc.LoopChanged());
    EXPECT_TRUE(doc.CanSave());
    doc.Save();
    EXPECT_FALSE(doc.LoopChanged());
    EXPECT_EQ(SndfileSamples(path), samplesBefore);
    auto inst = SndfileInstrumentOf(path);
    ASSERT_TRUE(inst && inst->loops.size() == 1);
    EXPECT_EQ(inst->loops[0].start, 100u);
    EXPECT_EQ(inst->loops[0].end, 900u);

    // Moving it again and answering No at close leaves the saved loop.
    doc.Info().loopStart = 200;
    prompter.Script({Answer::No});
    EXPECT_TRUE(app.Close(doc));
    EXPECT_EQ(SndfileInstrumentOf(path)->loops[0].start, 100u);
}

TEST_F(DocumentLifecycle, InPlaceEditingWritesLoopDataAtCloseUnasked) {
    app.fileBackup = false;
    const std::string path = MakeSound("p.wav", "-r 44100 -b 16 -c 2");
    COLMDoc& doc = app.Open(path);
    EXPECT_EQ(doc.WorkingPath(), path);
    EXPECT_FALSE(doc.CanSave());
    EXPECT_FALSE(doc.CanRevert());
    ChangeData(doc);
    doc.Info().loopOn = true;
    doc.Info().loopStart = 10;
    doc.Info().loopEnd = 20;
    const auto edited = ReadAll(path);
    EXPECT_TRUE(app.Close(doc));
    EXPECT_TRUE(prompter.questions.empty());
    auto inst = SndfileInstrumentOf(path);
    ASSERT_TRUE(inst && inst->loops.size() == 1);
    EXPECT_EQ(inst->loops[0].start, 10u);
    // The edited samples stay as they were written.
    const auto after = ReadAll(path);
    EXPECT_TRUE(std::equal(edited.begin() + 44, edited.begin() + 108, after.begin() + 44));
    EXPECT_EQ(FilesIn(work), std::set<std::string>{});
}

TEST_F(DocumentLifecycle, MadeFromTemporaryFile) {
    // A file the system made, as New does, in the working directory.
    std::string made = work + "/OLM_NEW_00-00-00.WAV";
    std::filesystem::copy_file(MakeSound("src.wav", "-r 44100 -b 16 -c 1"), made);

    COLMDoc& doc = app.OpenMadeFile(made);
    EXPECT_TRUE(doc.MadeFromTempFile());
    EXPECT_TRUE(doc.DataChanged());
    EXPECT_FALSE(doc.FileBackup());
    EXPECT_TRUE(doc.CanSave());
    prompter.Script({Answer::No});
    EXPECT_TRUE(app.Close(doc));
    EXPECT_EQ(prompter.questions.back(), "Do you save this file ?\n\nOLM_NEW_00-00-00.WAV");
    EXPECT_FALSE(platform::FileExists(made));

    // Yes with a chosen name: saved there, and the system's file is not left behind.
    std::filesystem::copy_file(user + "/src.wav", made);
    COLMDoc& second = app.OpenMadeFile(made);
    saveAsAnswer = user + "/kept.wav";
    prompter.Script({Answer::Yes});
    EXPECT_TRUE(app.Close(second));
    EXPECT_EQ(ReadWithSndfile(user + "/kept.wav")->frames, ReadWithSndfile(user + "/src.wav")->frames);
    EXPECT_EQ(FilesIn(work), std::set<std::string>{});

    // Yes, then cancelling the file dialog, keeps the document open.
    std::filesystem::copy_file(user + "/src.wav", made);
    COLMDoc& third = app.OpenMadeFile(made);
    saveAsAnswer.reset();
    prompter.Script({Answer::Yes});
    EXPECT_FALSE(app.Close(third));
    EXPECT_TRUE(platform::FileExists(made));
}

TEST_F(DocumentLifecycle, SaveAsConvertsBetweenTypes) {
    const std::string wav = MakeSound("x.wav", "-r 32000 -b 24 -c 2");
    COLMDoc& doc = app.Open(wav);
    doc.Info().loopOn = true;
    doc.Info().loopStart = 5;
    doc.Info().loopEnd = 600;
    ASSERT_TRUE(doc.SaveAsPath(user + "/x.aif"));
    EXPECT_EQ(doc.Info().fileType, FileType::Aiff);
    EXPECT_EQ(doc.OriginalPath(), user + "/x.aif");
    EXPECT_EQ(doc.Title(), "x.aif");
    EXPECT_EQ(SndfileSamples(user + "/x.aif"), SndfileSamples(wav));
    auto view = ReadWithSox(user + "/x.aif");
    ASSERT_TRUE(view);
    EXPECT_EQ(view->bits, 24);
    EXPECT_EQ(view->rate, 32000);
    auto inst = SndfileInstrumentOf(user + "/x.aif");
    ASSERT_TRUE(inst && !inst->loops.empty());
    EXPECT_EQ(inst->loops[0].start, 5u);
    EXPECT_EQ(inst->loops[0].end, 600u);

    ASSERT_TRUE(doc.SaveAsPath(user + "/back.wav"));
    EXPECT_EQ(doc.Info().fileType, FileType::Wav);
    EXPECT_EQ(SndfileSamples(user + "/back.wav"), SndfileSamples(wav));
    EXPECT_EQ(doc.Info().loopStart, 5u);
    EXPECT_TRUE(app.Close(doc));
    EXPECT_EQ(FilesIn(work), std::set<std::string>{});
}

// The undo and redo files hold frames in the encoding of the type they were taken from: after a
// Save As into the other type they would be noise, so Undo ends there; after one into the same
// type, and after Save, it goes on, its redo copy still to be taken.
TEST_F(DocumentLifecycle, SaveAsIntoTheOtherTypeEndsUndo) {
    for (const bool backup : {true, false}) {
        app.fileBackup = backup;
        SCOPED_TRACE(backup ? "File Backup on" : "File Backup off");
        const std::string name = backup ? "on" : "off";
        COLMDoc& doc = app.Open(MakeSound(name + ".wav", "-r 44100 -b 16 -c 2"));
        UndoStore& undo = doc.Undo();
        undo.SaveUndo(doc, OperationCode::InPlace, 0, 100, {0, 2});
        ChangeData(doc);
        undo.DeferRedo(doc, OperationCode::InPlace, 0, 100, {0, 2});
        doc.Save();
        ASSERT_TRUE(doc.SaveAsPath(user + "/" + name + "-same.wav"));
        EXPECT_TRUE(undo.Enabled());
        EXPECT_TRUE(undo.RedoRecordState().pending);

        ASSERT_TRUE(doc.SaveAsPath(user + "/" + name + "-other.aif"));
        EXPECT_FALSE(undo.Enabled());
        const auto samples = SndfileSamples(doc.WorkingPath());
        undo.UndoOrRedo(doc);
        EXPECT_EQ(SndfileSamples(doc.WorkingPath()), samples);
        app.Discard(doc);
    }
}

TEST_F(DocumentLifecycle, SaveAsQuestions) {
    const std::string a = MakeSound("a.wav", "-r 22050 -b 16 -c 1");
    const std::string b = MakeSound("b.wav", "-r 22050 -b 16 -c 1", 0.1);
    const auto bBytes = ReadAll(b);
    COLMDoc& docA = app.Open(a);
    app.Open(b);
    try {
        docA.SaveAsPath(b);
        FAIL() << "saved over another open document";
    } catch (const Error& e) {
        EXPECT_EQ(e.Message(), b + " is already opened. \nCan't save the file.");
    }
    const std::string c = MakeSound("c.wav", "-r 22050 -b 16 -c 1", 0.1);
    const auto cBytes = ReadAll(c);
    prompter.Script({Answer::Cancel});
    EXPECT_FALSE(docA.SaveAsPath(c));
    EXPECT_EQ(prompter.questions.back(), c + "\nThis file already exists.\nOverwrite this file?");
    EXPECT_EQ(ReadAll(c), cBytes);
    EXPECT_EQ(ReadAll(b), bBytes);
}

TEST_F(DocumentLifecycle, ASaveKilledHalfWayLeavesTheOriginalWhole) {
    const std::string path = MakeSound("big.wav", "-r 44100 -b 16 -c 2", 2.0);
    const auto original = ReadAll(path);
    COLMDoc& doc = app.Open(path);
    ChangeData(doc);
    platform::SetWriteBudget(100000);  // the disk fills up part way through the save
    EXPECT_THROW(doc.Save(), Error);
    platform::SetWriteBudget(-1);
    EXPECT_EQ(ReadAll(path), original);
    EXPECT_EQ(FilesIn(user), std::set<std::string>{"big.wav"});
    EXPECT_TRUE(doc.DataChanged());
    doc.Save();  // room again: the save goes through
    EXPECT_EQ(SndfileSamples(path), SndfileSamples(doc.WorkingPath()));
}

TEST_F(DocumentLifecycle, FailedOpensLeaveNothingBehind) {
    WriteAll(user + "/bad.wav", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'j', 'u', 'n', 'k'});
    EXPECT_THROW(app.Open(user + "/bad.wav"), Error);
    try {
        app.Open(user + "/missing.wav");
    } catch (const Error& e) {
        EXPECT_EQ(e.Message(), "File not found.");
    }
    // A file the system made is removed when it cannot be opened.
    WriteAll(work + "/OLM_NEW_01-02-03.WAV", {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'A', 'I', 'F', 'F'});
    EXPECT_THROW(app.OpenMadeFile(work + "/OLM_NEW_01-02-03.WAV"), Error);
    EXPECT_EQ(FilesIn(work), std::set<std::string>{});
    EXPECT_TRUE(app.Documents().empty());
}

// Without its working copy a document would edit the user's file, which a crash could damage:
// only the user's Yes allows that, whether the copy was stopped or the disk is full.
TEST_F(DocumentLifecycle, AFailedCopyEditsTheOriginalOnlyWhenTheUserSaysSo) {
    const std::string path = MakeSound("esc.wav", "-r 44100 -b 16 -c 2", 1.0);
    const auto original = ReadAll(path);
    const std::string stopped = "The working copy could not be made (stopped). Edit the original file directly?";
    const std::string full = "The working copy could not be made (Empty disk space). Edit the original file directly?";
    for (const bool diskFull : {false, true}) {
        auto fail = [&] {
            if (diskFull) platform::LimitFreeSpace(1000);
            else progress.PressEscapeAtStep(progress.Steps() + 2);
        };
        prompter.questions.clear();
        fail();
        prompter.Script({Answer::No});
        EXPECT_THROW(app.Open(path), Cancelled);
        platform::LimitFreeSpace(-1);
        EXPECT_EQ(prompter.questions, std::vector<std::string>{diskFull ? full : stopped});
        EXPECT_TRUE(app.Documents().empty());
        EXPECT_EQ(FilesIn(work), std::set<std::string>{});
        EXPECT_EQ(ReadAll(path), original);

        fail();
        prompter.Script({Answer::Yes});
        COLMDoc& doc = app.Open(path);
        platform::LimitFreeSpace(-1);
        EXPECT_FALSE(doc.FileBackup());
        EXPECT_EQ(doc.WorkingPath(), path);
        EXPECT_EQ(FilesIn(work).size(), 2u);  // the undo and redo files only
        app.Close(doc);
    }
}

TEST_F(DocumentLifecycle, VanishedOriginalOffersToSaveTheChangedCopy) {
    const std::string path = MakeSound("gone.wav", "-r 22050 -b 16 -c 1");
    COLMDoc& doc = app.Open(path);
    ChangeData(doc);
    const auto edited = SndfileSamples(doc.WorkingPath());
    std::filesystem::remove(path);
    saveAsAnswer = user + "/rescued.wav";
    prompter.Script({Answer::Yes});
    EXPECT_TRUE(app.Close(doc));
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(SndfileSamples(user + "/rescued.wav"), edited);
}

TEST_F(DocumentLifecycle, OpeningAnOpenFileActivatesItsDocument) {
    const std::string path = MakeSound("twice.wav", "-r 22050 -b 16 -c 1");
    COLMDoc& first = app.Open(path);
    COLMDoc& second = app.Open(user + "/../user/twice.wav");
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(app.Documents().size(), 1u);
}

TEST_F(DocumentLifecycle, AnExtensibleHeaderOpensAsPlainPcmOnlyWhenTheUserAgrees) {
    // sox writes 24-bit WAV files with the extensible header.
    const std::string path = user + "/ext.wav";
    ASSERT_EQ(std::system(("sox -n -r 8000 -b 24 -c 2 '" + path + "' synth 0.2 sine 300 2>/dev/null").c_str()), 0);
    const auto original = ReadAll(path);
    const auto samples = SndfileSamples(path);
    const std::string question = "This WAV file has an extensible header. Open it as a plain PCM WAV?";
    for (bool backup : {true, false}) {
        app.fileBackup = backup;
        prompter.questions.clear();
        prompter.Script({Answer::No});
        try {
            app.Open(path);
            ADD_FAILURE() << "opened without the user's Yes";
        } catch (const Error& e) {
            EXPECT_EQ(e.Id(), StringId::UnknownWavePcmFormat);
        }
        EXPECT_EQ(prompter.questions, std::vector<std::string>{question});
        EXPECT_TRUE(FilesIn(work).empty()) << "no copy left behind";

        prompter.Script({Answer::Yes});
        COLMDoc& doc = app.Open(path);
        EXPECT_TRUE(doc.FileBackup()) << "the user's file changes only when saved";
        EXPECT_TRUE(doc.DataChanged());
        EXPECT_EQ(doc.Info().bitsPerSample, 24);
        EXPECT_EQ(ReadAll(path), original);
        EXPECT_EQ(SndfileSamples(doc.WorkingPath()), samples);
        if (!backup) {
            app.Discard(doc);
            continue;
        }
        doc.Save();
        EXPECT_EQ(LoadLE16(ReadAll(path).data() + 20), 1) << "saved with the plain header";
        EXPECT_EQ(SndfileSamples(path), samples);
        EXPECT_TRUE(app.Close(doc));
        prompter.questions.clear();
        app.Discard(app.Open(path));
        EXPECT_TRUE(prompter.questions.empty()) << "a plain file asks nothing";
        WriteAll(path, original);
    }
}
