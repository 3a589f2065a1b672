#include "sampler/AspiManager.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace pelmora {

namespace {

std::string ProgramFolder() {
    std::vector<char> path(4096);
    const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) return {};
    const std::string program(path.data(), static_cast<std::size_t>(n));
    return program.substr(0, program.rfind('/'));
}

}  // namespace

AspiManager::~AspiManager() {
    if (handle_) dlclose(handle_);
}

bool AspiManager::Load() {
    if (handle_) return entry_.Loaded();
    std::vector<std::string> candidates;
    if (const char* named = std::getenv(aspi::kLibraryVariable); named && *named) {
        candidates.push_back(named);
    } else {
        const std::string folder = ProgramFolder();
        if (!folder.empty()) {
            candidates.push_back(folder + "/" + aspi::kLibraryFile);
            candidates.push_back(folder + "/../lib/pelmora/" + aspi::kLibraryFile);
        }
        candidates.push_back(aspi::kLibraryFile);
    }
    for (const std::string& candidate : candidates) {
        void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) continue;
        AspiEntryPoints entry;
        entry.getSupportInfo =
            reinterpret_cast<aspi::GetASPI32SupportInfoFn>(dlsym(handle, aspi::kGetSupportInfoName));
        entry.sendCommand = reinterpret_cast<aspi::SendASPI32CommandFn>(dlsym(handle, aspi::kSendCommandName));
        if (!entry.Loaded()) {
            dlclose(handle);
            continue;
        }
        handle_ = handle;
        entry_ = entry;
        path_ = candidate;
        return true;
    }
    return false;
}

}  // namespace pelmora
