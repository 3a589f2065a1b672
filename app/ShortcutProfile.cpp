#include "app/ShortcutProfile.h"

#include <charconv>
#include <vector>

namespace pelmora {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Whole numbers only: "12x" is not one, nor is a number beyond 64 bits.
std::optional<long long> WholeNumber(std::string_view token) {
    if (!token.empty() && token.front() == '+') token.remove_prefix(1);
    long long value = 0;
    const char* end = token.data() + token.size();
    auto [stop, error] = std::from_chars(token.data(), end, value);
    if (token.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

}  // namespace

std::optional<StoredShortcut> ParseShortcutValue(std::string_view value) {
    value = value.substr(0, kShortcutValueLimit);
    std::vector<long long> numbers;
    std::size_t at = 0;
    while (at < value.size()) {
        while (at < value.size() && IsBlank(value[at])) ++at;
        std::size_t end = at;
        while (end < value.size() && !IsBlank(value[end])) ++end;
        if (end == at) break;
        const auto number = WholeNumber(value.substr(at, end - at));
        if (!number || numbers.size() == 3) return std::nullopt;
        numbers.push_back(*number);
        at = end;
    }
    if (numbers.size() != 3) return std::nullopt;
    return StoredShortcut{static_cast<std::uint16_t>(numbers[1] & 0xFFFF),
                          static_cast<std::uint8_t>(numbers[2] & 0xFF)};
}

std::string FormatShortcutValue(const ShortcutRecord& record) {
    return std::to_string(static_cast<unsigned>(record.command)) + ' ' + std::to_string(record.key) + ' ' +
           std::to_string(record.flags);
}

ShortcutTable LoadShortcuts(const Profile& profile) {
    ShortcutTable records = DefaultShortcuts();
    for (ShortcutRecord& record : records) {
        const auto value = profile.GetString(kShortcutSection, std::string(record.name));
        if (!value) continue;
        if (const auto stored = ParseShortcutValue(*value)) {
            record.key = stored->key;
            record.flags = stored->flags;
        }
    }
    return records;
}

void SaveShortcuts(const ShortcutTable& records, Profile& profile) {
    for (const ShortcutRecord& record : records)
        profile.SetString(kShortcutSection, std::string(record.name), FormatShortcutValue(record));
}

}  // namespace pelmora
