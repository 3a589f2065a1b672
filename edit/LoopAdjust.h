#pragma once
// How the loop follows frames that an edit removes or inserts.

#include <cstdint>

namespace pelmora {

enum class LoopEditRule { Clear, Insert, Trim };

struct LoopPoints {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::uint32_t lock = 0;  // 0 none, 1 position, 2 length
};

// s .. e is the selection before the edit; for Insert, k frames replace it.
LoopPoints AdjustLoopForEdit(LoopEditRule rule, LoopPoints loop, std::uint32_t s, std::uint32_t e,
                             std::uint32_t k = 0);

}  // namespace pelmora
