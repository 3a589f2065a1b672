#include "base/StringId.h"

namespace pelmora {

namespace {

constexpr const char* kTexts[] = {
#define X(id, text) text,
#include "base/StringTexts.inc"
#undef X
};

}  // namespace

const char* Text(StringId id) { return kTexts[static_cast<int>(id)]; }

}  // namespace pelmora
