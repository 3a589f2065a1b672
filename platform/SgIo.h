#pragma once
// The Linux SCSI generic devices as the ASPI manager sees them: a list of device nodes, and
// open, ioctl and close on them. Tests put a fake in its place.

#include <string>
#include <vector>

namespace pelmora::platform {

class SgSystem {
public:
    virtual ~SgSystem() = default;
    // The /dev/sg* nodes, in the order of their numbers.
    virtual std::vector<std::string> DevicePaths() = 0;
    // A descriptor, or -1 with errno set.
    virtual int Open(const std::string& path) = 0;
    // The ioctl's result, -1 with errno set on failure.
    virtual int Ioctl(int fd, unsigned long request, void* argument) = 0;
    virtual void Close(int fd) = 0;
};

// The real devices, opened read-write and non-blocking.
SgSystem& RealSgSystem();

// Owns one descriptor of an SgSystem and closes it.
class SgHandle {
public:
    SgHandle() = default;
    SgHandle(SgSystem& system, const std::string& path) : system_(&system), fd_(system.Open(path)) {}
    ~SgHandle() { Reset(); }
    SgHandle(SgHandle&& other) noexcept : system_(other.system_), fd_(other.fd_) { other.fd_ = -1; }
    SgHandle& operator=(SgHandle&& other) noexcept;
    SgHandle(const SgHandle&) = delete;
    SgHandle& operator=(const SgHandle&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Ioctl(unsigned long request, void* argument) const;
    void Reset();

private:
    SgSystem* system_ = nullptr;
    int fd_ = -1;
};

}  // namespace pelmora::platform
