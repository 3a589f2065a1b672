#pragma once
// Failures inside an operation travel as the id of their message; the command's handler shows it.

#include <cerrno>
#include <exception>
#include <string>

#include "base/StringId.h"

namespace pelmora {

class Error : public std::exception {
public:
    explicit Error(StringId id) : id_(id), text_(Text(id)) {}
    // For texts with printf fields, already filled in by FormatText.
    Error(StringId id, std::string formatted) : id_(id), text_(std::move(formatted)) {}

    StringId Id() const { return id_; }
    const std::string& Message() const { return text_; }
    const char* what() const noexcept override { return text_.c_str(); }

private:
    StringId id_;
    std::string text_;
};

// The message for a write or copy that just failed: "Empty disk space" when the disk or the
// quota is full (errno still holds the failed call's answer), else `otherwise`.
inline StringId WriteFailure(StringId otherwise = StringId::FileWriteError) {
    return errno == ENOSPC || errno == EDQUOT ? StringId::EmptyDiskSpace : otherwise;
}

// Raised when the user stopped an operation with ESC: not a failure, so no message is shown.
class Cancelled : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};

}  // namespace pelmora
