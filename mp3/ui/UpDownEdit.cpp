#include "mp3/ui/UpDownEdit.h"

#include <QLineEdit>

namespace pelmora {

UpDownEdit::UpDownEdit(std::function<QString(const QString&, int)> step, int maxLength, QWidget* parent)
    : QAbstractSpinBox(parent), step_(std::move(step)) {
    lineEdit()->setMaxLength(maxLength);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
}

QString UpDownEdit::Text() const { return lineEdit()->text(); }

void UpDownEdit::SetText(const QString& text) { lineEdit()->setText(text); }

void UpDownEdit::stepBy(int steps) { SetText(step_(Text(), steps)); }

}  // namespace pelmora
