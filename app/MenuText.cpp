#include "app/MenuText.h"

namespace pelmora {

std::string ToolTipText(const std::string& menuText) {
    std::string text = menuText.substr(0, menuText.find('\t'));
    // A bracketed mnemonic such as "(&N)" goes whole; other ampersands go alone.
    for (std::size_t at = text.find("(&"); at != std::string::npos; at = text.find("(&", at)) {
        if (at + 3 < text.size() && text[at + 3] == ')') text.erase(at, 4);
        else ++at;
    }
    std::erase(text, '&');
    if (text.ends_with("...")) text.erase(text.size() - 3);
    return text;
}

}  // namespace pelmora
