#pragma once
// What a process leaves in the working directory if it ends without closing: each process keeps
// a manifest there naming its files, and a later start finds the manifests of processes that no
// longer run, keeps the documents with unsaved changes for recovery and deletes the rest.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Process.h"

namespace pelmora {

inline constexpr std::string_view kManifestPrefix = "OLM_MANIFEST_";

// Loop points set since the last save: they live in memory only, so the manifest keeps them.
struct ManifestLoop {
    bool on = false;
    std::uint32_t start = 0, end = 0;
    bool operator==(const ManifestLoop&) const = default;
};

struct ManifestDocument {
    std::string original;  // the user's file; empty for a sound the system made
    std::string title;
    std::string working;
    bool ownWorking = false;  // the working file is a copy or a file the system made, not the user's
    std::string undo, redo, image;
    bool changed = false;  // the working file holds changes that no save has kept
    std::int64_t changedSince = 0;  // seconds since the epoch
    std::optional<ManifestLoop> loop;
    bool operator==(const ManifestDocument&) const = default;
};

struct Manifest {
    platform::ProcessIdentity process;
    std::string clip;
    std::vector<ManifestDocument> documents;
    // Files of ours to delete: those that could not be deleted yet, and those being written.
    std::vector<std::string> removals;
    bool operator==(const Manifest&) const = default;
};

std::string FormatManifest(const Manifest& manifest);
// nullopt for text that is not a manifest; paths are taken as written, not checked.
std::optional<Manifest> ParseManifest(std::string_view text);

// The manifest of the running process: rewritten (whole, in one rename) when what it names
// changes, and deleted when the process ends cleanly, unless it still names files that could not
// be deleted. A manifest that cannot be written costs only the recovery, never the operation.
class ManifestKeeper {
public:
    ManifestKeeper();
    ~ManifestKeeper() {
        if (written_.removals.empty()) Remove();
    }
    ManifestKeeper(const ManifestKeeper&) = delete;
    ManifestKeeper& operator=(const ManifestKeeper&) = delete;

    // The times a document became changed are kept from the previous write.
    void Write(const std::string& workDir, Manifest manifest);
    void Remove();
    const std::string& Path() const { return path_; }

private:
    platform::ProcessIdentity self_;
    std::string path_;
    Manifest written_;
    std::string text_;
};

// A changed document of a process that no longer runs.
struct RecoverableDocument {
    std::string manifestPath;
    std::string original;  // the title when the system made the sound
    std::string title;
    std::string working;
    std::int64_t changedSince = 0;
    std::optional<ManifestLoop> loop;
};

// Clears the leftovers of processes that no longer run from `workDir`: every file their
// manifests name, and partial saves beside the originals, except the working files of changed
// documents, which stay (with a manifest naming only them) until recovered or discarded.
std::vector<RecoverableDocument> CollectLeftovers(const std::string& workDir);
// The document's working file now belongs to a document of this process: its entry goes.
void ForgetLeftover(const RecoverableDocument& document);
// Deletes the working file and the entry.
void DiscardLeftover(const RecoverableDocument& document);

// "YYYY-MM-DD HH:MM:SS" in local time.
std::string LocalTimeText(std::int64_t seconds);

}  // namespace pelmora
