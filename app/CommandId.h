#pragma once
// The command ids shared by menus, toolbars, shortcut records and handlers.

#include <cstdint>

namespace pelmora {

enum class CommandId : std::uint16_t {
    // File
    New = 57600,
    Open = 57601,
    Close = 57602,
    Save = 57603,
    SaveAs = 57604,
    Revert = 32791,
    Resample = 32792,
    ConvertBitSize = 32793,
    AddChannel = 32794,
    DeleteChannel = 32795,
    SwapChannels = 32796,
    FormatConversion = 32797,
    ImportFromSampler = 33125,
    ExportToSampler = 33126,
    Quit = 57665,
    // Edit
    Undo = 57643,
    Cut = 57635,
    Copy = 57634,
    Paste = 57637,
    Insert = 32801,
    Clear = 57632,
    SelectAll = 57642,
    Trim = 32802,
    Mix = 32803,
    Reverse = 32804,
    Invert = 32805,
    FadeIn = 32806,
    FadeOut = 32807,
    LoopCrossfade = 33117,
    Equalizer = 32808,
    TimeCompExp = 32809,
    PitchShift = 32810,
    Gain = 32811,
    Normalize = 32812,
    Silence = 32813,
    DcOffset = 33002,
    SelectionToNew = 33132,
    // View
    SelectLoop = 33119,
    SelectionToLoop = 33120,
    Overview = 33007,
    Waveform = 33056,
    LevelRulerShowHide = 33136,
    TimeRulerShowHide = 118,
    // Options
    SelectWorkingDir = 32788,
    FileBackup = 32789,
    ToolbarStandard = 33005,
    ToolbarTransport = 33004,
    ToolbarView = 33029,
    // Window
    Cascade = 57650,
    TileHorizontally = 57651,
    TileVertically = 57652,
    ArrangeIcons = 57649,
    MinimizeAll = 33104,
    MaximizeAll = 33106,
    CloseAll = 33019,
    NextWindow = 33137,
    // Transport
    Rewind = 32771,
    Stop = 32772,
    Play = 32773,
    Record = 32774,
    RegionPlay = 32775,
    // Help
    About = 57664,
};

}  // namespace pelmora
