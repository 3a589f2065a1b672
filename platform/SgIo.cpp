#include "platform/SgIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace pelmora::platform {

namespace {

class RealSg final : public SgSystem {
public:
    std::vector<std::string> DevicePaths() override {
        std::vector<std::pair<long, std::string>> found;
        if (DIR* dir = opendir("/dev")) {
            while (const dirent* entry = readdir(dir)) {
                const std::string name = entry->d_name;
                if (name.size() < 3 || name.compare(0, 2, "sg") != 0) continue;
                char* end = nullptr;
                const long number = std::strtol(name.c_str() + 2, &end, 10);
                if (*end == '\0') found.emplace_back(number, "/dev/" + name);
            }
            closedir(dir);
        }
        std::sort(found.begin(), found.end());
        std::vector<std::string> paths;
        for (auto& entry : found) paths.push_back(std::move(entry.second));
        return paths;
    }
    int Open(const std::string& path) override { return open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC); }
    int Ioctl(int fd, unsigned long request, void* argument) override {
        int result = 0;
        do {
            result = ioctl(fd, request, argument);
        } while (result < 0 && errno == EINTR);
        return result;
    }
    void Close(int fd) override { close(fd); }
};

}  // namespace

SgSystem& RealSgSystem() {
    static RealSg system;
    return system;
}

SgHandle& SgHandle::operator=(SgHandle&& other) noexcept {
    if (this != &other) {
        Reset();
        system_ = other.system_;
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

int SgHandle::Ioctl(unsigned long request, void* argument) const {
    if (fd_ < 0) {
        errno = EBADF;
        return -1;
    }
    return system_->Ioctl(fd_, request, argument);
}

void SgHandle::Reset() {
    if (fd_ >= 0) system_->Close(fd_);
    fd_ = -1;
}

}  // namespace pelmora::platform
