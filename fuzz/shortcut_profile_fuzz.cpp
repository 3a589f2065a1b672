// The shortcut records read from an arbitrary profile file: the reader never crashes or reads
// past a value, the names and command ids stay the built-in ones, every record's shortcut text
// can be made, and what was read is written back and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/Accelerators.h"
#include "app/KeyNames.h"
#include "app/ShortcutProfile.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
    // The bytes as one value, and as a whole profile file.
    (void)ParseShortcutValue(std::string(reinterpret_cast<const char*>(data), size));
    const std::string path = fuzz::InputAsFile(data, size);
    Profile profile(path);
    profile.Load();
    const ShortcutTable records = LoadShortcuts(profile);
    const ShortcutTable& defaults = DefaultShortcuts();
    for (std::size_t i = 0; i < kShortcutCount; ++i) {
        if (records[i].name != defaults[i].name || records[i].command != defaults[i].command) __builtin_trap();
        if (MenuShortcutText(records[i]).size() > 64 || PageShortcutText(records[i]).size() > 64) __builtin_trap();
        (void)MenuItemText("Item\tOld", records, records[i].command);
    }
    const AcceleratorTable table(records);
    (void)table.Find({records[0].key, records[0].flags, records[0].key});

    Profile written(path + ".out");
    SaveShortcuts(records, written);
    if (!written.Save()) return 0;
    Profile again(path + ".out");
    again.Load();
    if (LoadShortcuts(again) != records) __builtin_trap();
    return 0;
}
