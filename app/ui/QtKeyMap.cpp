#include "app/ui/QtKeyMap.h"

#include <QKeyEvent>

#include "app/ShortcutRecords.h"

namespace pelmora {

namespace {

// Keys typed without the keypad that are not letters, digits or function keys.
std::uint16_t MainKeyOf(int key) {
    switch (key) {
    case Qt::Key_Cancel: return 3;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Select: return 41;
    case Qt::Key_Printer: return 42;
    case Qt::Key_Execute: return 43;
    case Qt::Key_Print: return 44;  // the Print Screen key
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Help: return 47;
    case Qt::Key_Meta: return 91;
    case Qt::Key_Menu: return 93;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    // Digits' shifted symbols.
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    // Punctuation keys, plain and shifted.
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 0xBA;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma:
    case Qt::Key_Less: return 0xBC;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 0xBD;
    case Qt::Key_Period:
    case Qt::Key_Greater: return 0xBE;
    case Qt::Key_Slash:
    case Qt::Key_Question: return 0xBF;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return 0xC0;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return 0xDB;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return 0xDC;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return 0xDD;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return 0xDE;
    default: return 0;
    }
}

// The keypad's digits and operators; its other keys (Enter, the arrows without Num Lock) are
// the same keys as on the main block.
std::uint16_t KeypadKeyOf(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<std::uint16_t>(96 + (key - Qt::Key_0));
    switch (key) {
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma: return 110;  // the decimal key, whichever mark the layout gives it
    case Qt::Key_Slash: return 111;
    default: return 0;
    }
}

}  // namespace

std::uint16_t VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::KeypadModifier) {
        if (const std::uint16_t keypad = KeypadKeyOf(qtKey)) return keypad;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<std::uint16_t>('A' + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return static_cast<std::uint16_t>('0' + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return static_cast<std::uint16_t>(112 + (qtKey - Qt::Key_F1));
    return MainKeyOf(qtKey);
}

std::uint8_t ModifierFlagsOf(Qt::KeyboardModifiers modifiers) {
    std::uint8_t flags = 0;
    if (modifiers & Qt::ShiftModifier) flags |= kShiftFlag;
    if (modifiers & Qt::ControlModifier) flags |= kCtrlFlag;
    if (modifiers & Qt::AltModifier) flags |= kAltFlag;
    return flags;
}

KeyStroke StrokeOf(const QKeyEvent& event) {
    KeyStroke stroke;
    stroke.virtualKey = VirtualKeyOf(event.key(), event.modifiers());
    stroke.modifiers = ModifierFlagsOf(event.modifiers());
    // Some platforms report a modifier's own press before its state changes.
    switch (event.key()) {
    case Qt::Key_Shift: stroke.modifiers |= kShiftFlag; break;
    case Qt::Key_Control: stroke.modifiers |= kCtrlFlag; break;
    case Qt::Key_Alt: stroke.modifiers |= kAltFlag; break;
    default: break;
    }
    const QString text = event.text();
    if (text.size() == 1) stroke.character = text.front().unicode();
    return stroke;
}

}  // namespace pelmora
