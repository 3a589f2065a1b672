#pragma once
// The Open dialog: a file dialog with a panel showing the highlighted sound file's summary.

#include <QFileDialog>

class QLabel;

namespace pelmora {

class OpenDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit OpenDialog(QWidget* parent = nullptr);
    QString PanelText() const;
    // Shows the dialog; the chosen file, or empty when it was cancelled.
    static QString ChooseSoundFile(QWidget* parent);

private:
    QLabel* panel_;
};

}  // namespace pelmora
