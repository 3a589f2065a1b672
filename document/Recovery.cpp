#include "document/Recovery.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "document/TempFiles.h"
#include "platform/File.h"

namespace pelmora {

namespace {

constexpr std::string_view kFirstLine = "pelmora manifest 1";
constexpr std::string_view kNewSuffix = ".new";
constexpr std::size_t kLargestManifest = 1 << 20;

std::string Escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

std::string Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            ++i;
            out += text[i] == 'n' ? '\n' : text[i];
        } else {
            out += text[i];
        }
    }
    return out;
}

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseFlag(std::string_view text, bool& flag) {
    if (text != "0" && text != "1") return false;
    flag = text == "1";
    return true;
}

// One "key value" line into the document being read; false for a malformed value.
bool ReadDocumentLine(std::string_view key, std::string_view value, ManifestDocument& doc) {
    if (key == "original") doc.original = Unescaped(value);
    else if (key == "title") doc.title = Unescaped(value);
    else if (key == "working") doc.working = Unescaped(value);
    else if (key == "undo") doc.undo = Unescaped(value);
    else if (key == "redo") doc.redo = Unescaped(value);
    else if (key == "image") doc.image = Unescaped(value);
    else if (key == "own") return ParseFlag(value, doc.ownWorking);
    else if (key == "loop") {
        const std::size_t first = value.find(' ');
        const std::size_t second = first == std::string_view::npos ? first : value.find(' ', first + 1);
        if (second == std::string_view::npos) return false;
        ManifestLoop& loop = doc.loop.emplace();
        return ParseFlag(value.substr(0, first), loop.on) &&
               ParseNumber(value.substr(first + 1, second - first - 1), loop.start) &&
               ParseNumber(value.substr(second + 1), loop.end);
    }
    else if (key == "changed") {
        const std::size_t blank = value.find(' ');
        if (blank == std::string_view::npos) return false;
        return ParseFlag(value.substr(0, blank), doc.changed) &&
               ParseNumber(value.substr(blank + 1), doc.changedSince);
    }
    return true;  // a key of a later version
}

std::optional<std::string> ReadSmallFile(const std::string& path) {
    platform::File file;
    if (!file.Open(path, platform::OpenMode::Read)) return std::nullopt;
    const std::int64_t size = file.Size();
    if (size < 0 || static_cast<std::uint64_t>(size) > kLargestManifest) return std::nullopt;
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!file.ReadAt(0, text.data(), text.size())) return std::nullopt;
    return text;
}

// Writes `text` beside `path` and renames it over `path`, so that a reader never sees half.
bool ReplaceWithText(const std::string& path, const std::string& temporary, const std::string& text) {
    platform::File file;
    if (!file.Open(temporary, platform::OpenMode::CreateTruncate)) return false;
    const bool written = file.WriteAt(0, text.data(), text.size());
    file.Close();
    if (written && platform::RenameFile(temporary, path)) return true;
    platform::RemoveFile(temporary);
    return false;
}

std::string StaleRewriteName(const std::string& manifestPath) {
    return manifestPath + "." + std::to_string(platform::CurrentProcess().pid) + std::string(kNewSuffix);
}

bool InWorkDir(const std::string& path, const std::string& workDir) {
    return !path.empty() && platform::CanonicalPath(platform::FolderOf(path)) == workDir;
}

// A sampler import's file: the sample's name, "_", the time of day "HH-MM-SS", maybe a counter
// "-N", ".aif".
bool IsSamplerImportName(std::string_view name) {
    if (!name.ends_with(".aif")) return false;
    name.remove_suffix(4);
    const auto digits = [](std::string_view text) {
        return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const auto timeAt = [&](std::size_t at) {
        const std::string_view t = name.substr(at, 9);
        return t.size() == 9 && t[0] == '_' && digits(t.substr(1, 2)) && t[3] == '-' && digits(t.substr(4, 2)) &&
               t[6] == '-' && digits(t.substr(7, 2));
    };
    if (name.size() >= 9 && timeAt(name.size() - 9)) return true;
    const std::size_t dash = name.rfind('-');
    return dash != std::string_view::npos && dash >= 9 && digits(name.substr(dash + 1)) && timeAt(dash - 9);
}

// Only our temporary files in the working directory are deleted unasked, whatever a manifest says.
bool IsOurFile(const std::string& path, const std::string& workDir) {
    const std::string name = platform::FileNameOf(path);
    const bool ours = name.starts_with("OLM_") || name.starts_with(kMp3TempPrefix) || name.starts_with(kMp3OutStem) ||
                      name.starts_with(kMp3FloatStem);
    return ours && InWorkDir(path, workDir);
}

// A save's new file, beside its target until renamed over it.
bool IsPartialSave(const std::string& path) {
    const std::string name = platform::FileNameOf(path);
    return name.starts_with(".") && name.find(".saving-") != std::string::npos;
}

void RemoveOurFile(const std::string& path, const std::string& workDir) {
    if (!path.empty() && IsOurFile(path, workDir)) platform::RemoveFile(path);
}

// Partial saves (".NAME.saving-...") left beside an original.
void RemovePartialSaves(const std::string& original) {
    if (original.empty()) return;
    const std::string prefix = "." + platform::FileNameOf(original) + ".saving-";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(platform::FolderOf(original), error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix)) platform::RemoveFile(entry.path().string());
    }
}

bool Recoverable(const ManifestDocument& doc, const std::string& workDir) {
    return doc.changed && doc.ownWorking && InWorkDir(doc.working, workDir) && platform::FileExists(doc.working);
}

// Rewrites a stale manifest with what is left of it, or deletes it when nothing is.
void KeepOnly(const std::string& manifestPath, Manifest manifest) {
    manifest.clip.clear();
    if (manifest.documents.empty()) {
        platform::RemoveFile(manifestPath);
        return;
    }
    ReplaceWithText(manifestPath, StaleRewriteName(manifestPath), FormatManifest(manifest));
}

// Takes the document with `working` out of its stale manifest.
void DropEntry(const RecoverableDocument& document) {
    const std::optional<std::string> text = ReadSmallFile(document.manifestPath);
    if (!text) return;
    std::optional<Manifest> manifest = ParseManifest(*text);
    if (!manifest) return;
    std::erase_if(manifest->documents, [&](const ManifestDocument& d) { return d.working == document.working; });
    KeepOnly(document.manifestPath, std::move(*manifest));
}

}  // namespace

std::string FormatManifest(const Manifest& manifest) {
    std::string out(kFirstLine);
    out += "\nprocess " + std::to_string(manifest.process.pid) + " " + std::to_string(manifest.process.startTicks);
    out += "\nclip " + Escaped(manifest.clip) + "\n";
    for (const ManifestDocument& doc : manifest.documents) {
        out += "document\n";
        out += "original " + Escaped(doc.original) + "\n";
        out += "title " + Escaped(doc.title) + "\n";
        out += "working " + Escaped(doc.working) + "\n";
        out += std::string("own ") + (doc.ownWorking ? "1" : "0") + "\n";
        out += "undo " + Escaped(doc.undo) + "\n";
        out += "redo " + Escaped(doc.redo) + "\n";
        out += "image " + Escaped(doc.image) + "\n";
        out += std::string("changed ") + (doc.changed ? "1 " : "0 ") + std::to_string(doc.changedSince) + "\n";
        if (doc.loop)
            out += std::string("loop ") + (doc.loop->on ? "1 " : "0 ") + std::to_string(doc.loop->start) + " " +
                   std::to_string(doc.loop->end) + "\n";
    }
    for (const std::string& path : manifest.removals) out += "removal " + Escaped(path) + "\n";
    return out;
}

std::optional<Manifest> ParseManifest(std::string_view text) {
    Manifest manifest;
    bool first = true, sawProcess = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) return std::nullopt;  // cut short
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (first) {
            if (line != kFirstLine) return std::nullopt;
            first = false;
            continue;
        }
        const std::size_t blank = line.find(' ');
        const std::string_view key = line.substr(0, blank);
        const std::string_view value = blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
        if (key == "document") {
            manifest.documents.emplace_back();
        } else if (key == "process") {
            const std::size_t gap = value.find(' ');
            if (gap == std::string_view::npos || !ParseNumber(value.substr(0, gap), manifest.process.pid) ||
                !ParseNumber(value.substr(gap + 1), manifest.process.startTicks))
                return std::nullopt;
            sawProcess = true;
        } else if (key == "clip") {
            manifest.clip = Unescaped(value);
        } else if (key == "removal") {
            manifest.removals.push_back(Unescaped(value));
        } else if (!manifest.documents.empty() && !ReadDocumentLine(key, value, manifest.documents.back())) {
            return std::nullopt;
        }
    }
    if (first || !sawProcess) return std::nullopt;
    return manifest;
}

ManifestKeeper::ManifestKeeper() : self_(platform::CurrentProcess()) {}

void ManifestKeeper::Write(const std::string& workDir, Manifest manifest) {
    manifest.process = self_;
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    for (ManifestDocument& doc : manifest.documents) {
        if (!doc.changed) continue;
        const auto before = std::find_if(written_.documents.begin(), written_.documents.end(),
                                         [&](const ManifestDocument& d) { return d.working == doc.working; });
        doc.changedSince = before != written_.documents.end() && before->changed ? before->changedSince : now;
    }
    // The start time in the name too: a dead process that had our id may have left its manifest.
    const std::string path = JoinPath(workDir, std::string(kManifestPrefix) + std::to_string(self_.pid) + "-" +
                                                   std::to_string(self_.startTicks));
    std::string text = FormatManifest(manifest);
    if (path == path_ && text == text_) return;
    if (!ReplaceWithText(path, path + std::string(kNewSuffix), text)) return;
    if (!path_.empty() && path_ != path) platform::RemoveFile(path_);
    path_ = path;
    text_ = std::move(text);
    written_ = std::move(manifest);
}

void ManifestKeeper::Remove() {
    if (!path_.empty()) platform::RemoveFile(path_);
    path_.clear();
    text_.clear();
    written_ = Manifest{};
}

std::vector<RecoverableDocument> CollectLeftovers(const std::string& folder) {
    const std::string workDir = platform::CanonicalPath(folder);
    std::vector<std::string> manifests;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(workDir, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(kManifestPrefix)) manifests.push_back(entry.path().string());
    }
    std::sort(manifests.begin(), manifests.end());

    std::vector<RecoverableDocument> found;
    for (const std::string& path : manifests) {
        const std::optional<std::string> text = ReadSmallFile(path);
        std::optional<Manifest> manifest = text ? ParseManifest(*text) : std::nullopt;
        if (manifest && platform::ProcessRuns(manifest->process)) continue;
        if (path.ends_with(kNewSuffix) || !manifest) {
            // A rewrite its writer did not finish, or a file that is not a manifest at all.
            if (!manifest || !platform::ProcessRuns(manifest->process)) platform::RemoveFile(path);
            continue;
        }
        RemoveOurFile(manifest->clip, workDir);
        for (const std::string& removal : manifest->removals) {
            if (IsPartialSave(removal) || IsOurFile(removal, workDir) ||
                (IsSamplerImportName(platform::FileNameOf(removal)) && InWorkDir(removal, workDir)))
                platform::RemoveFile(removal);
        }
        manifest->removals.clear();
        std::vector<ManifestDocument> kept;
        for (ManifestDocument& doc : manifest->documents) {
            RemoveOurFile(doc.undo, workDir);
            RemoveOurFile(doc.redo, workDir);
            RemoveOurFile(doc.image, workDir);
            RemovePartialSaves(doc.original);
            if (!Recoverable(doc, workDir)) {
                if (doc.ownWorking) RemoveOurFile(doc.working, workDir);
                continue;
            }
            found.push_back({path, doc.original.empty() ? doc.title : doc.original, doc.title, doc.working,
                             doc.changedSince, doc.loop});
            doc.undo.clear();
            doc.redo.clear();
            doc.image.clear();
            kept.push_back(std::move(doc));
        }
        manifest->documents = std::move(kept);
        KeepOnly(path, std::move(*manifest));
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.changedSince < b.changedSince; });
    return found;
}

std::string LocalTimeText(std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&time, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

void ForgetLeftover(const RecoverableDocument& document) { DropEntry(document); }

void DiscardLeftover(const RecoverableDocument& document) {
    if (InWorkDir(document.working, platform::CanonicalPath(platform::FolderOf(document.manifestPath))))
        platform::RemoveFile(document.working);
    DropEntry(document);
}

}  // namespace pelmora
