#pragma once
// The string table: every text the user can see has an id; the core passes ids, not texts.

#include <cstdio>
#include <string>

namespace pelmora {

enum class StringId {
#define X(id, text) id,
#include "base/StringTexts.inc"
#undef X
};

// The English text of an id, exactly as the user sees it.
const char* Text(StringId id);

// A text of the table whose printf fields are filled in ("%s\nThis file already exists...").
template <typename... Args>
std::string FormatText(StringId id, Args... args) {
    const char* format = Text(id);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    int length = std::snprintf(nullptr, 0, format, args...);
    if (length <= 0) return std::string();
    std::string out(static_cast<std::size_t>(length), '\0');
    std::snprintf(out.data(), out.size() + 1, format, args...);
#pragma GCC diagnostic pop
    return out;
}

}  // namespace pelmora
