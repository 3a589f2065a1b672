#pragma once
// The "Parametric Equalizer" dialog: the band buttons, nine edits and the response graph over
// EqDialogModel. "EQ" accepts only once every band validates.

#include <QDialog>
#include <array>

#include "edit/EqDialogModel.h"

class QLineEdit;
class QPushButton;

namespace pelmora {

class EqResponseGraph;

class EqDialog : public QDialog {
    Q_OBJECT
public:
    // The model must be open for the sound (EqDialogModel::Open).
    EqDialog(EqDialogModel& model, QWidget* parent = nullptr);
    QLineEdit* Edit(int band, EqField field) const {
        return edits_[static_cast<std::size_t>(band)][static_cast<std::size_t>(field)];
    }
    QPushButton* BandButton(int band) const { return bandButtons_[static_cast<std::size_t>(band)]; }
    EqResponseGraph* Graph() const { return graph_; }

private:
    void Show();
    void Commit(int band, EqField field);
    void SelectBand(int band);
    void Ok();

    EqDialogModel& model_;
    std::array<std::array<QLineEdit*, 3>, 3> edits_{};
    std::array<QPushButton*, 3> bandButtons_{};
    EqResponseGraph* graph_;
};

}  // namespace pelmora
