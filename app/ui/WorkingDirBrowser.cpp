#include "app/ui/WorkingDirBrowser.h"

#include <QCoreApplication>
#include <QFileDialog>

#include "base/ui/Translate.h"

#include "base/StringId.h"

namespace pelmora {

std::optional<std::string> BrowseWorkingDirectory(QWidget* parent, const std::string& current) {
    QFileDialog dialog(parent, Tr(Text(StringId::SelectWorkingDir)),
                       QString::fromStdString(current));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

}  // namespace pelmora
