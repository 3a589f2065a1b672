#pragma once
// The File menu's conversion dialogs: "Convert Bit Size", "Delete Channel" and "Format
// Conversion", each a column of radio buttons. The first enabled choice starts selected.

#include <QDialog>
#include <vector>

#include "document/COLMDoc.h"

class QRadioButton;

namespace pelmora {

class RadioChoiceDialog : public QDialog {
    Q_OBJECT
public:
    struct Choice {
        QString caption;
        bool enabled = true;
    };
    RadioChoiceDialog(const QString& title, const std::vector<Choice>& choices, QWidget* parent = nullptr);
    // The index of the selected choice.
    int Selected() const;

private:
    std::vector<QRadioButton*> buttons_;
};

// The three dialogs for a document; Selected() indexes BitSizeTargets, the channel, or
// 0 WAVE -> AIFF, 1 AIFF -> WAVE, 2 the HD Play rewrite.
RadioChoiceDialog* MakeConvertBitSizeDialog(const COLMDoc& doc, QWidget* parent);
RadioChoiceDialog* MakeDeleteChannelDialog(QWidget* parent);
RadioChoiceDialog* MakeFormatConversionDialog(const COLMDoc& doc, QWidget* parent);

}  // namespace pelmora
