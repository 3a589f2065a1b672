#include "app/KeyNames.h"

#include <array>
#include <string_view>

namespace pelmora {

namespace {

using KeyNameTable = std::array<std::string_view, kNamedVirtualKeys>;

constexpr KeyNameTable MakeKeyNames() {
    KeyNameTable names{};
    names[3] = "Break";
    names[8] = "BS";
    names[9] = "Tab";
    names[13] = "Enter";
    names[16] = "Shift";
    names[17] = "Ctrl";
    names[19] = "Pause";
    names[20] = "Caps Lock";
    names[32] = "Space";
    names[33] = "Page up";
    names[34] = "Page down";
    names[35] = "End";
    names[36] = "Home";
    names[37] = "Left";
    names[38] = "Up";
    names[39] = "Right";
    names[40] = "Down";
    names[41] = "Select";
    names[42] = "Print";
    names[45] = "Ins";
    names[46] = "Del";
    names[47] = "Help";
    constexpr std::string_view digits = "0123456789";
    constexpr std::string_view letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (std::size_t i = 0; i < digits.size(); ++i) names[48 + i] = digits.substr(i, 1);
    for (std::size_t i = 0; i < letters.size(); ++i) names[65 + i] = letters.substr(i, 1);
    constexpr std::string_view numpad[] = {"Num 0", "Num 1", "Num 2", "Num 3", "Num 4",
                                           "Num 5", "Num 6", "Num 7", "Num 8", "Num 9"};
    for (std::size_t i = 0; i < 10; ++i) names[96 + i] = numpad[i];
    names[106] = "Num *";
    names[107] = "Num +";
    names[109] = "Num -";
    names[110] = "Num .";
    names[111] = "Num /";
    constexpr std::string_view functionKeys[] = {"F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",
                                                 "F9",  "F10", "F11", "F12", "F13", "F14", "F15", "F16",
                                                 "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24"};
    for (std::size_t i = 0; i < 24; ++i) names[112 + i] = functionKeys[i];
    names[144] = "Num lock";
    names[145] = "Scroll";
    return names;
}

constexpr KeyNameTable kKeyNames = MakeKeyNames();

// The unshifted character of the punctuation keys on a US keyboard; 0 for the rest.
char PunctuationOf(std::uint16_t virtualKey) {
    switch (virtualKey) {
    case 0xBA: return ';';
    case 0xBB: return '=';
    case 0xBC: return ',';
    case 0xBD: return '-';
    case 0xBE: return '.';
    case 0xBF: return '/';
    case 0xC0: return '`';
    case 0xDB: return '[';
    case 0xDC: return '\\';
    case 0xDD: return ']';
    case 0xDE: return '\'';
    case 0xE2: return '\\';
    default: return 0;
    }
}

// A character key's own character, in UTF-8; control characters have no name.
std::string CharacterName(std::uint16_t key) {
    const unsigned code = key & 0xFFu;  // the record keeps one character code per key
    if (code < 0x21 || code == 0x7F || (code >= 0x80 && code < 0xA1)) return {};
    if (code < 0x80) return std::string(1, static_cast<char>(code));
    return {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
}

std::string ShortcutText(const ShortcutRecord& record, std::string_view ctrl, std::string_view alt,
                         std::string_view shift) {
    if (!record.HasShortcut()) return {};
    const std::string name = KeyName(record.key, record.flags & kVirtualKeyFlag);
    if (name.empty()) return {};
    std::string text;
    if (record.flags & kCtrlFlag) text += ctrl;
    if (record.flags & kAltFlag) text += alt;
    if (record.flags & kShiftFlag) text += shift;
    return text + name;
}

}  // namespace

std::string KeyName(std::uint16_t key, bool virtualKey) {
    if (!virtualKey) return CharacterName(key);
    if (key < kNamedVirtualKeys) return std::string(kKeyNames[key]);
    const char c = PunctuationOf(key);
    return c ? std::string(1, c) : std::string();
}

std::string MenuShortcutText(const ShortcutRecord& record) {
    return ShortcutText(record, "Ctrl+", "Alt+", "Shift+");
}

std::string PageShortcutText(const ShortcutRecord& record) {
    return ShortcutText(record, "Ctrl + ", "Alt + ", "Shift + ");
}

std::string PageModifierText(std::uint8_t flags) {
    std::string text;
    if (flags & kCtrlFlag) text += "Ctrl + ";
    if (flags & kAltFlag) text += "Alt + ";
    if (flags & kShiftFlag) text += "Shift + ";
    return text;
}

}  // namespace pelmora
