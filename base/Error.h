#pragma once
// Failures inside an operation travel as the id of their message; the command's handler shows it.

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

// Raised when the user stopped an operation with ESC: not a failure, so no message is shown.
class Cancelled : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};

}  // namespace pelmora
