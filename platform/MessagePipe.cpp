#include "platform/MessagePipe.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace pelmora::platform {

MessagePipe::MessagePipe() {
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return;
    readFd_ = fds[0];
    writeFd_ = fds[1];
}

MessagePipe::~MessagePipe() {
    if (readFd_ >= 0) ::close(readFd_);
    if (writeFd_ >= 0) ::close(writeFd_);
}

bool MessagePipe::Wait(int timeoutMs) const {
    if (readFd_ < 0) return false;
    pollfd p{readFd_, POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLIN);
}

std::size_t MessagePipe::ReadAll(std::vector<std::uint32_t>& out) const {
    std::size_t count = 0;
    std::uint32_t batch[64];
    for (;;) {
        const ssize_t n = ::read(readFd_, batch, sizeof batch);
        if (n <= 0) break;
        // Writes of four bytes are atomic on a pipe, so reads come in whole messages.
        for (ssize_t i = 0; i < n / 4; ++i) out.push_back(batch[i]);
        count += static_cast<std::size_t>(n / 4);
    }
    return count;
}

void MessagePipe::Post(int writeFd, std::uint32_t message) {
    const ssize_t written = ::write(writeFd, &message, sizeof message);
    (void)written;
}

}  // namespace pelmora::platform
