#pragma once
// Numbers typed into dialog edits: surrounding blanks allowed, nothing else around them.

#include <optional>
#include <string>

namespace pelmora {

std::optional<long long> ParseWholeNumber(const std::string& text);
std::optional<double> ParseDecimalNumber(const std::string& text);
bool IsBlank(const std::string& text);

}  // namespace pelmora
