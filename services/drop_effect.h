// The effect a drop target reports to the drag source for a key state and the effects the
// source allows; the source shows the matching cursor. Values are the platform's DROPEFFECT_*
// and MK_* bits.
#pragma once
#include <cstdint>

namespace korvane {

constexpr uint32_t kDropEffectNone = 0;
constexpr uint32_t kDropEffectCopy = 1;
constexpr uint32_t kDropEffectMove = 2;
constexpr uint32_t kDropEffectLink = 4;

constexpr uint32_t kKeyShift = 0x4;    // MK_SHIFT
constexpr uint32_t kKeyControl = 0x8;  // MK_CONTROL

// Ctrl+Shift asks for a link, Ctrl for a copy, Shift for a move; a request the source does not
// allow gives none, and a link is never dropped. Without a request: copy, else move, else link.
uint32_t drop_effect(bool acceptable, uint32_t key_state, uint32_t allowed_effects);

}  // namespace korvane
