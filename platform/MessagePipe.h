#pragma once
// The window a callback thread posts to: a non-blocking pipe. Posting is one write of the
// message id, safe on any thread; the interface thread reads the ids back in order.

#include <cstdint>
#include <vector>

namespace pelmora::platform {

class MessagePipe {
public:
    MessagePipe();
    ~MessagePipe();
    MessagePipe(const MessagePipe&) = delete;
    MessagePipe& operator=(const MessagePipe&) = delete;

    bool IsOpen() const { return readFd_ >= 0; }
    int ReadFd() const { return readFd_; }
    int WriteFd() const { return writeFd_; }

    // Waits up to `timeoutMs` (−1: no limit) for a message; true when one is waiting.
    bool Wait(int timeoutMs) const;
    // Appends every message waiting to `out` without blocking; the number read.
    std::size_t ReadAll(std::vector<std::uint32_t>& out) const;

    // What a callback does: a message that does not fit (the pipe is full) is dropped.
    static void Post(int writeFd, std::uint32_t message);

private:
    int readFd_ = -1;
    int writeFd_ = -1;
};

}  // namespace pelmora::platform
