#include "document/ui/OpenDialog.h"

#include <QGridLayout>
#include <QLabel>

#include "base/ui/Translate.h"

#include "document/OpenDialogModel.h"
#include "document/ui/FileFilterNames.h"

namespace pelmora {

OpenDialog::OpenDialog(QWidget* parent) : QFileDialog(parent) {
    // The panel needs the dialog's own layout, which a native dialog does not have.
    setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    setWindowTitle(Tr("Open"));
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    QStringList filters;
    for (const FileFilter& filter : kOpenFilters) filters << NameFilter(filter);
    setNameFilters(filters);

    panel_ = new QLabel(this);
    panel_->setTextFormat(Qt::PlainText);
    panel_->setMinimumHeight(2 * panel_->fontMetrics().lineSpacing());
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(panel_, grid->rowCount(), 0, 1, grid->columnCount());
    connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
        panel_->setText(QString::fromStdString(OpenPanelText(path.toStdString())));
    });
}

QString OpenDialog::PanelText() const { return panel_->text(); }

QString OpenDialog::ChooseSoundFile(QWidget* parent) {
    OpenDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

}  // namespace pelmora
