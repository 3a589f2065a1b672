#include "app/ShortcutRecords.h"

namespace pelmora {

namespace {

constexpr std::uint8_t V = kVirtualKeyFlag;
constexpr std::uint8_t Ctrl = kVirtualKeyFlag | kCtrlFlag;
constexpr std::uint8_t Shift = kVirtualKeyFlag | kShiftFlag;
constexpr std::uint8_t Alt = kVirtualKeyFlag | kAltFlag;
constexpr std::uint8_t CtrlAlt = kVirtualKeyFlag | kCtrlFlag | kAltFlag;

// Virtual-key codes of the default shortcuts.
enum : std::uint16_t {
    kEnter = 13,
    kSpace = 32,
    kLeft = 37,
    kUp = 38,
    kRight = 39,
    kDown = 40,
    kDel = 46,
    kNum0 = 96,
    kNum1 = 97,
    kNumMultiply = 106,
    kNumDivide = 111,
    kOpenBracket = 0xDB,
    kCloseBracket = 0xDD,
};

constexpr std::uint16_t Letter(char c) { return static_cast<std::uint16_t>(c); }

using C = CommandId;

constexpr ShortcutTable kDefaults = {{
    // File
    {"New", C::New, Ctrl, Letter('N')},
    {"Open", C::Open, Ctrl, Letter('O')},
    {"Close", C::Close, 0, 0},
    {"Save", C::Save, Ctrl, Letter('S')},
    {"Save As", C::SaveAs, 0, 0},
    {"Revert", C::Revert, Ctrl, Letter('R')},
    {"Resample", C::Resample, 0, 0},
    {"Convert Bit Size", C::ConvertBitSize, 0, 0},
    {"Add Channel", C::AddChannel, 0, 0},
    {"Delete Channel", C::DeleteChannel, 0, 0},
    {"Swap Channels", C::SwapChannels, 0, 0},
    {"Format Conversion", C::FormatConversion, 0, 0},
    {"Import From Sampler", C::ImportFromSampler, 0, 0},
    {"Export To Sampler", C::ExportToSampler, 0, 0},
    {"Quit", C::Quit, 0, 0},
    // Edit
    {"Undo", C::Undo, Ctrl, Letter('Z')},
    {"Cut", C::Cut, Ctrl, Letter('X')},
    {"Copy", C::Copy, Ctrl, Letter('C')},
    {"Paste", C::Paste, Ctrl, Letter('V')},
    {"Insert", C::Insert, Ctrl, Letter('I')},
    {"Clear", C::Clear, Ctrl, kDel},
    {"Select All", C::SelectAll, Ctrl, Letter('A')},
    {"Trim", C::Trim, Ctrl, Letter('T')},
    {"Mix", C::Mix, Ctrl, Letter('M')},
    {"Reverse", C::Reverse, 0, 0},
    {"Invert", C::Invert, 0, 0},
    {"Fade In", C::FadeIn, 0, 0},
    {"Fade Out", C::FadeOut, 0, 0},
    {"Loop Crossfade", C::LoopCrossfade, 0, 0},
    {"EQ", C::Equalizer, 0, 0},
    {"Time Comp/Exp", C::TimeCompExp, 0, 0},
    {"Pitch Shift", C::PitchShift, 0, 0},
    {"Gain", C::Gain, 0, 0},
    {"Normalize", C::Normalize, 0, 0},
    {"Silence", C::Silence, 0, 0},
    {"DC Offset", C::DcOffset, 0, 0},
    {"Selection to New", C::SelectionToNew, 0, 0},
    // View
    {"Go To Top", C::GoToTop, V, kLeft},
    {"Go To End", C::GoToEnd, V, kRight},
    {"Go To Selection Top", C::GoToSelectionTop, Ctrl, kLeft},
    {"Go To Selection End", C::GoToSelectionEnd, Ctrl, kRight},
    {"Go To Loop Top", C::GoToLoopTop, CtrlAlt, kLeft},
    {"Go To Loop End", C::GoToLoopEnd, CtrlAlt, kRight},
    {"Go To Play location", C::GoToPlayLocation, 0, 0},
    {"Vertical Full Zoom In", C::VerticalFullZoomIn, Ctrl, Letter('Y')},
    {"Vertical Full Zoom Out", C::VerticalFullZoomOut, Ctrl, Letter('J')},
    {"Horizontal Full Zoom In", C::HorizontalFullZoomIn, Ctrl, Letter('H')},
    {"Horizontal Full Zoom Out", C::HorizontalFullZoomOut, Ctrl, Letter('G')},
    {"Fit To Selection", C::FitToSelection, Ctrl, Letter('F')},
    {"Fit To Loop", C::FitToLoop, Ctrl, Letter('L')},
    {"Previous Zoom", C::PreviousZoom, V, Letter('Z')},
    {"Select Loop", C::SelectLoop, 0, 0},
    {"Select to Loop", C::SelectionToLoop, 0, 0},
    {"Up Selection", C::UpSelection, V, kUp},
    {"Down Selection", C::DownSelection, V, kDown},
    {"Extend Selection Upper", C::ExtendSelectionUpper, Shift, kUp},
    {"Extend Selection Lower", C::ExtendSelectionLower, Shift, kDown},
    {"Extend Selection Top", C::ExtendSelectionTop, Shift, kLeft},
    {"Shrink Selection Top", C::ShrinkSelectionTop, Shift, kRight},
    {"Extend Selection End", C::ExtendSelectionEnd, Alt, kRight},
    {"Shrink Selection End", C::ShrinkSelectionEnd, Alt, kLeft},
    {"Extend Loop Top", C::ExtendLoopTop, Shift, kOpenBracket},
    {"Shrink Loop Top", C::ShrinkLoopTop, Shift, kCloseBracket},
    {"Extend Loop End", C::ExtendLoopEnd, Ctrl, kCloseBracket},
    {"Shrink Loop End", C::ShrinkLoopEnd, Ctrl, kOpenBracket},
    {"Auto Snap :None", C::AutoSnapNone, 0, 0},
    {"Auto Snap :Zero Cross", C::AutoSnapZeroCross, 0, 0},
    {"Auto Snap :Level", C::AutoSnapLevel, 0, 0},
    {"Waveform", C::Waveform, 0, 0},
    {"Overview", C::Overview, 0, 0},
    {"Time Ruler :Hide", C::TimeRulerHide, 0, 0},
    {"Time Ruler :Time ", C::TimeRulerTime, 0, 0},
    {"Time Ruler :Sample ", C::TimeRulerSample, 0, 0},
    {"Time Ruler (Rotate)", C::TimeRulerRotate, V, Letter('T')},
    {"Time Ruler Show/Hide", C::TimeRulerShowHide, 0, 0},
    {"Level Ruler :Hide", C::LevelRulerHide, 0, 0},
    {"Level Ruler :%", C::LevelRulerPercent, 0, 0},
    {"Level Ruler :dB", C::LevelRulerDecibel, 0, 0},
    {"Level Ruler :Value", C::LevelRulerValue, 0, 0},
    {"Level Ruler (Rotate)", C::LevelRulerRotate, V, Letter('L')},
    {"Level Ruler Show/Hide", C::LevelRulerShowHide, 0, 0},
    {"Scroll During Playback", C::ScrollDuringPlayback, 0, 0},
    {"Connect dots", C::ConnectDots, 0, 0},
    // Options
    {"SCSI Rescan", C::RescanScsi, 0, 0},
    {"Window Sound Device Conf...", C::SoundDeviceConfiguration, 0, 0},
    {"Select Working Dir...", C::SelectWorkingDir, 0, 0},
    {"File Backup", C::FileBackup, 0, 0},
    {"Preference", C::Preference, 0, 0},
    // Window
    {"Cascade", C::Cascade, 0, 0},
    {"Tile Horizontally", C::TileHorizontally, 0, 0},
    {"Tile Vertically", C::TileVertically, 0, 0},
    {"Arrange Icons", C::ArrangeIcons, 0, 0},
    {"Minimize All", C::MinimizeAll, 0, 0},
    {"Maximize All", C::MaximizeAll, 0, 0},
    {"Close All", C::CloseAll, 0, 0},
    {"Next Window", C::NextWindow, 0, 0},
    // Others
    {"Play", C::Play, V, kEnter},
    {"Stop", C::Stop, V, kNum0},
    {"Rec", C::Record, V, kNumMultiply},
    {"Region Play", C::RegionPlay, V, kSpace},
    {"Rewind", C::Rewind, V, kNum1},
    {"Loop Mode", C::LoopMode, V, kNumDivide},
    // Zoom
    {"Vertical Zoom In", C::VerticalZoomIn, Shift, Letter('H')},
    {"Vertical Zoom Out", C::VerticalZoomOut, Shift, Letter('G')},
    {"Horizontal Zoom In", C::HorizontalZoomIn, V, Letter('H')},
    {"Horizontal Zoom Out", C::HorizontalZoomOut, V, Letter('G')},
    // Help
    {"About Pelmora", C::About, 0, 0},
}};

constexpr std::array<ShortcutGroup, kShortcutGroupCount> kGroups = {{
    {"File", 0, 15},
    {"Edit", 15, 22},
    {"View", 37, 46},
    {"Options", 83, 5},
    {"Window", 88, 8},
    {"Others", 96, 6},
    {"Zoom", 102, 4},
    {"Help", 106, 1},
}};

constexpr bool GroupsCoverTheTable() {
    std::size_t next = 0;
    for (const ShortcutGroup& group : kGroups) {
        if (group.first != next) return false;
        next += group.count;
    }
    return next == kShortcutCount;
}
static_assert(GroupsCoverTheTable());

constexpr bool NamesFitTheRecord() {
    for (const ShortcutRecord& record : kDefaults)
        if (record.name.empty() || record.name.size() > 63) return false;
    return true;
}
static_assert(NamesFitTheRecord());

}  // namespace

const ShortcutTable& DefaultShortcuts() { return kDefaults; }

const std::array<ShortcutGroup, kShortcutGroupCount>& ShortcutGroups() { return kGroups; }

const ShortcutRecord* FindShortcut(const ShortcutTable& records, CommandId command) {
    for (const ShortcutRecord& record : records)
        if (record.command == command) return &record;
    return nullptr;
}

}  // namespace pelmora
