#include "aspi/InstrumentConfig.h"

#include <cstdlib>
#include <sstream>

namespace pelmora::aspi {

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// A field of fixed width: escapes decoded, padded with blanks or cut.
std::string FixedField(const std::string& value, std::size_t width) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 3 < value.size() && value[i + 1] == 'x') {
            const std::string hex = value.substr(i + 2, 2);
            char* end = nullptr;
            const long byte = std::strtol(hex.c_str(), &end, 16);
            if (hex.size() == 2 && *end == '\0') {
                out.push_back(static_cast<char>(byte));
                i += 3;
                continue;
            }
        }
        out.push_back(value[i]);
    }
    out.resize(width, ' ');
    return out;
}

bool ParseNumber(const std::string& text, long min, long max, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 0);
    return *end == '\0' && value >= min && value <= max;
}

bool ParseFault(const std::string& item, Faults& faults) {
    const auto colon = item.find(':');
    const std::string name = Trim(item.substr(0, colon));
    const std::string argument = colon == std::string::npos ? "" : Trim(item.substr(colon + 1));
    long n = 0;
    const bool hasNumber = ParseNumber(argument, 0, 0xFFFFFF, n);
    const int value = static_cast<int>(n);
    if (name == "wait" && hasNumber) faults.wait = value;
    else if (name == "busy" && hasNumber) faults.busy = value;
    else if (name == "selection-timeout") {
        if (argument.empty()) faults.selectionTimeout = -1;
        else if (hasNumber) faults.selectionTimeout = value;
        else return false;
    } else if (name == "reject-header" && hasNumber) faults.rejectHeader = value;
    else if (name == "reject-identify" && argument.empty()) faults.rejectIdentify = true;
    else if (name == "reject-request" && hasNumber) faults.rejectRequest = value;
    else if (name == "reject-begin" && hasNumber) faults.rejectBegin = value;
    else if (name == "abort" && hasNumber) faults.abortAt = value;
    else if (name == "eop-early" && hasNumber) faults.endEarlyAt = value;
    else if (name == "zero-period" && argument.empty()) faults.zeroPeriod = true;
    else if (name == "zero-packet" && argument.empty()) faults.zeroPacket = true;
    else if (name == "long-data" && argument.empty()) faults.longData = true;
    else if (name == "crossed-loop" && argument.empty()) faults.crossedLoop = true;
    else if (name == "double-wait" && argument.empty()) faults.doubleWait = true;
    else return false;
    return true;
}

}  // namespace

std::optional<InstrumentConfig> ParseInstrumentConfig(const std::string& text, std::string& problem) {
    InstrumentConfig config;
    bool familyGiven = false;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            problem = "line " + std::to_string(number) + ": no \"=\"";
            return std::nullopt;
        }
        const std::string key = Trim(line.substr(0, equals));
        std::string raw = line.substr(equals + 1);
        const auto start = raw.find_first_not_of(" \t");
        raw.erase(0, start == std::string::npos ? raw.size() : start);
        const std::string value = Trim(raw);
        long n = 0;
        bool ok = true;
        if (key == "vendor") config.vendor = FixedField(raw, 8);
        else if (key == "product") config.product = FixedField(raw, 16);
        else if (key == "revision") config.revision = FixedField(value, 4);
        else if (key == "id") ok = ParseNumber(value, 0, 6, n) && ((config.id = static_cast<int>(n)), true);
        else if (key == "slots")
            ok = ParseNumber(value, 1, 0xFFFFFF, n) && ((config.slots = static_cast<std::uint32_t>(n)), true);
        else if (key == "packet")
            ok = ParseNumber(value, 1, 0xFFFFFF, n) && ((config.packetMax = static_cast<std::uint32_t>(n)), true);
        else if (key == "family") {
            familyGiven = true;
            if (value == "sampler") config.family = EmulatedFamily::Sampler;
            else if (value == "synthesizer") config.family = EmulatedFamily::Synthesizer;
            else ok = false;
        } else if (key == "faults") {
            std::istringstream items(value);
            std::string item;
            while (ok && std::getline(items, item, ','))
                if (!Trim(item).empty()) ok = ParseFault(item, config.faults);
        } else {
            ok = false;
        }
        if (!ok) {
            problem = "line " + std::to_string(number) + ": cannot use \"" + trimmed + "\"";
            return std::nullopt;
        }
    }
    if (config.id < 0) {
        problem = "no id";
        return std::nullopt;
    }
    if (config.vendor.empty()) config.vendor = FixedField("", 8);
    if (config.product.empty()) config.product = FixedField("", 16);
    if (!familyGiven && config.product.rfind("Synthesizer", 0) == 0) config.family = EmulatedFamily::Synthesizer;
    if (config.family == EmulatedFamily::Sampler) config.slots = 1;
    return config;
}

}  // namespace pelmora::aspi
