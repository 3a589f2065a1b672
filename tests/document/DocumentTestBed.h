#pragma once
// A working directory, a folder of the user's files, and an application around them, for
// walking documents through their lifecycle.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/ApplicationState.h"
#include "base/SilentProgress.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

namespace pelmora::test {

class DocumentTestBed : public ::testing::Test {
protected:
    DocumentTestBed()
        : work(root.File("work")), user(root.File("user")),
          app(prompter, progress, [this](const COLMDoc&) { return saveAsAnswer; }) {
        std::filesystem::create_directories(work);
        std::filesystem::create_directories(user);
        app.SetWorkDirAtStartup(work);
        EXPECT_TRUE(app.CreateClipFile());
    }

    // A sound made by sox: `soxFormat` like "-r 44100 -b 16 -c 2", `name` in the user's folder.
    std::string MakeSound(const std::string& name, const std::string& soxFormat,
                          double seconds = 0.2) {
        const std::string path = user + "/" + name;
        // wavpcm: a plain PCM format tag, never the extensible one sox picks for wide samples.
        const bool wav = name.size() > 4 && name.substr(name.size() - 4) == ".wav";
        const std::string command = "sox -n " + soxFormat + (wav ? " -t wavpcm" : "") + " '" + path + "' synth " +
                                    std::to_string(seconds) + " sine 440 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return path;
    }

    // Changes the first bytes of the sound's data in its working file, as an edit would.
    static void ChangeData(COLMDoc& doc, std::uint8_t value = 0x5A) {
        std::vector<std::uint8_t> bytes(64, value);
        auto all = ReadAll(doc.WorkingPath());
        std::copy(bytes.begin(), bytes.end(), all.begin() + doc.Info().dataOffset);
        WriteAll(doc.WorkingPath(), all);
        doc.SetDataChanged();
    }

    // Names in a folder, the clip file and the recovery manifest left out.
    static std::set<std::string> FilesIn(const std::string& folder) {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (!name.starts_with("OLM_CLIP_") && !name.starts_with("OLM_MANIFEST_")) names.insert(name);
        }
        return names;
    }

    TempDir root;
    std::string work, user;
    ScriptedPrompter prompter;
    SilentProgress progress;
    std::optional<std::string> saveAsAnswer;
    ApplicationState app;
};

}  // namespace pelmora::test
