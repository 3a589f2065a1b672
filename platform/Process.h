#pragma once
// Who a process is, told apart from a later process that got the same id.

#include <cstdint>

namespace pelmora::platform {

struct ProcessIdentity {
    int pid = 0;
    std::uint64_t startTicks = 0;  // clock ticks from boot to the process's start
    bool operator==(const ProcessIdentity&) const = default;
};

ProcessIdentity CurrentProcess();
// True while that very process runs (a new one with the same id does not count).
bool ProcessRuns(const ProcessIdentity& process);

}  // namespace pelmora::platform
