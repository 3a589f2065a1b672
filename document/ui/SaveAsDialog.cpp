#include "document/ui/SaveAsDialog.h"

#include <QFileDialog>

#include "base/ui/Translate.h"

#include "document/COLMDoc.h"
#include "platform/File.h"
#include "document/ui/FileFilterNames.h"

namespace pelmora {

std::optional<std::string> ChooseSaveAsPath(QWidget* parent, const COLMDoc& doc) {
    QFileDialog dialog(parent, Tr("Save As"));
    // Beside the original; a sound the system made has no folder of its own yet.
    if (!doc.MadeFromTempFile() && !doc.OriginalPath().empty())
        dialog.setDirectory(QString::fromStdString(platform::FolderOf(doc.OriginalPath())));
    dialog.selectFile(QString::fromStdString(doc.Title()));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog, so that the filter names show as they stand.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite |
                      QFileDialog::HideNameFilterDetails);
    const auto filters = SaveAsFilters(doc.Info().fileType);
    QStringList names;
    for (const FileFilter& filter : filters) names << NameFilter(filter);
    dialog.setNameFilters(names);
    dialog.setDefaultSuffix(QLatin1String(filters[0].defaultExtension));
    // The chosen filter comes as shown, without its patterns, or whole.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& chosen) {
        for (const FileFilter& filter : filters) {
            if (chosen == NameFilter(filter) || chosen == Tr(filter.name))
                dialog.setDefaultSuffix(QLatin1String(filter.defaultExtension));
        }
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

}  // namespace pelmora
