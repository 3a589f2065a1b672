#pragma once
// The file dialogs' filters in the form QFileDialog matches ("name (patterns)"); the dialogs
// hide the pattern part, so the user sees the names as they stand.

#include <QCoreApplication>
#include <QString>

#include "base/ui/Translate.h"

#include "document/FileDialogFilters.h"

namespace pelmora {

inline QString NameFilter(const FileFilter& filter) {
    return Tr(filter.name) + QStringLiteral(" (") +
           QLatin1String(filter.patterns) + QLatin1Char(')');
}

}  // namespace pelmora
