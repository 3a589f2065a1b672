#pragma once
// An edit box with an up-down control whose steps the dialog's model decides.

#include <QAbstractSpinBox>
#include <functional>

namespace pelmora {

class UpDownEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    // `step` gets the typed text and the steps and returns the new text.
    UpDownEdit(std::function<QString(const QString&, int)> step, int maxLength, QWidget* parent = nullptr);
    QString Text() const;
    void SetText(const QString& text);
    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    std::function<QString(const QString&, int)> step_;
};

}  // namespace pelmora
