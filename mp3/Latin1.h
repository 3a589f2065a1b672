#pragma once
// Tag texts are Latin-1 bytes; the command line speaks UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// nullopt when the text is not valid UTF-8 or holds a character beyond U+00FF.
std::optional<std::string> Utf8ToLatin1(std::string_view utf8);
std::string Latin1ToUtf8(std::string_view latin1);

}  // namespace pelmora
