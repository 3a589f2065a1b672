#pragma once
// The folder browser of "Select Working Dir...".

#include <optional>
#include <string>

class QWidget;

namespace pelmora {

// Shows the browser with `current` preselected; the chosen folder, or nullopt when cancelled.
std::optional<std::string> BrowseWorkingDirectory(QWidget* parent, const std::string& current);

}  // namespace pelmora
