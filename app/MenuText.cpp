#include "app/MenuText.h"

#include <regex>

namespace pelmora {

std::string ToolTipText(const std::string& menuText) {
    static const std::regex mnemonicGroup(R"(\(&.\))");
    std::string text = std::regex_replace(menuText.substr(0, menuText.find('\t')), mnemonicGroup, "");
    std::erase(text, '&');
    if (text.ends_with("...")) text.erase(text.size() - 3);
    return text;
}

}  // namespace pelmora
