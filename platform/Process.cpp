#include "platform/Process.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <signal.h>
#include <unistd.h>

namespace pelmora::platform {

namespace {

// Field 22 of /proc/PID/stat; nullopt when the process is not there or has ended (a zombie not
// yet reaped by its parent).
std::optional<std::uint64_t> StartTicksOf(int pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", pid);
    std::FILE* file = std::fopen(path, "re");
    if (!file) return std::nullopt;
    char line[1024];
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    if (!read) return std::nullopt;
    // The command name in parentheses may hold blanks and parentheses: count from the last ")".
    const char* field = std::strrchr(line, ')');
    if (!field || field[1] != ' ' || field[2] == 'Z' || field[2] == 'X' || field[2] == 'x') return std::nullopt;
    for (int n = 2; n < 22 && field; ++n) field = std::strchr(field + 1, ' ');
    if (!field) return std::nullopt;
    unsigned long long ticks = 0;
    if (std::sscanf(field + 1, "%llu", &ticks) != 1) return std::nullopt;
    return ticks;
}

bool ProcFilesystem() { return ::access("/proc/self/stat", R_OK) == 0; }

}  // namespace

ProcessIdentity CurrentProcess() {
    const int pid = static_cast<int>(::getpid());
    return {pid, StartTicksOf(pid).value_or(0)};
}

bool ProcessRuns(const ProcessIdentity& process) {
    if (process.pid <= 0) return false;
    if (const std::optional<std::uint64_t> ticks = StartTicksOf(process.pid))
        return process.startTicks == 0 || *ticks == process.startTicks;
    // Without /proc, only whether some process has the id.
    return !ProcFilesystem() && (::kill(process.pid, 0) == 0 || errno == EPERM);
}

}  // namespace pelmora::platform
