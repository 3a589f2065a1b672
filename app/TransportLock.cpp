#include "app/TransportLock.h"

namespace pelmora {

bool RefusedWhileSoundRuns(CommandId id) {
    switch (id) {
    // The transport and the view of the sound.
    case CommandId::Rewind: case CommandId::Stop: case CommandId::Play: case CommandId::Record:
    case CommandId::RegionPlay: case CommandId::LoopMode:
    case CommandId::GoToTop: case CommandId::GoToEnd: case CommandId::GoToSelectionTop:
    case CommandId::GoToSelectionEnd: case CommandId::GoToLoopTop: case CommandId::GoToLoopEnd:
    case CommandId::GoToPlayLocation: case CommandId::VerticalFullZoomIn: case CommandId::VerticalFullZoomOut:
    case CommandId::HorizontalFullZoomIn: case CommandId::HorizontalFullZoomOut: case CommandId::FitToSelection:
    case CommandId::FitToLoop: case CommandId::PreviousZoom: case CommandId::AutoSnapNone:
    case CommandId::AutoSnapZeroCross: case CommandId::AutoSnapLevel: case CommandId::TimeRulerHide:
    case CommandId::TimeRulerTime: case CommandId::TimeRulerSample: case CommandId::TimeRulerRotate:
    case CommandId::LevelRulerHide: case CommandId::LevelRulerPercent: case CommandId::LevelRulerDecibel:
    case CommandId::LevelRulerValue: case CommandId::LevelRulerRotate: case CommandId::ScrollDuringPlayback:
    case CommandId::ConnectDots: case CommandId::VerticalZoomIn: case CommandId::VerticalZoomOut:
    case CommandId::HorizontalZoomIn: case CommandId::HorizontalZoomOut: case CommandId::SelectLoop:
    case CommandId::SelectionToLoop: case CommandId::Overview: case CommandId::Waveform:
    case CommandId::LevelRulerShowHide: case CommandId::TimeRulerShowHide:
    case CommandId::FileBackup: case CommandId::ToolbarStandard: case CommandId::ToolbarTransport:
    case CommandId::ToolbarView: case CommandId::About:
        return false;
    default:
        return true;
    }
}

}  // namespace pelmora
