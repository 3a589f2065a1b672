#pragma once
// The sampler dialog of "Import From Sampler..." and "Export To Sampler...": the list of slots
// or documents, the information on the selected line and, for an export to a synthesizer, the
// sample number. Its rules are the model's; the dialog shows them and forwards.

#include <QDialog>

#include "sampler/SamplerDialogModel.h"

class QLabel;
class QListWidget;

namespace pelmora {

class UpDownEdit;

class CSamplerDlg : public QDialog {
    Q_OBJECT
public:
    CSamplerDlg(smdi::SamplerDialogModel& model, QWidget* parent = nullptr);
    // Runs the dialog; true when it closed through OK with a result.
    static bool Run(smdi::SamplerDialogModel& model, QWidget* parent);

    void accept() override;

private:
    std::optional<std::size_t> Selected() const;
    void FetchVisible();
    void RefreshLines();
    void ShowInformation();

    smdi::SamplerDialogModel& model_;
    QListWidget* list_ = nullptr;
    QLabel* information_ = nullptr;
    QLabel* numberLabel_ = nullptr;
    UpDownEdit* number_ = nullptr;
    bool closedWithResult_ = false;
};

}  // namespace pelmora
