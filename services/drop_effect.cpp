#include "services/drop_effect.h"

namespace korvane {

uint32_t drop_effect(bool acceptable, uint32_t key_state, uint32_t allowed) {
  if (!acceptable) return kDropEffectNone;
  const bool control = key_state & kKeyControl;
  const bool shift = key_state & kKeyShift;
  if (control || shift) {
    const uint32_t request = control && shift ? kDropEffectLink : (control ? kDropEffectCopy : kDropEffectMove);
    if (!(allowed & request) || request == kDropEffectLink) return kDropEffectNone;
    return request;
  }
  if (allowed & kDropEffectCopy) return kDropEffectCopy;
  if (allowed & kDropEffectMove) return kDropEffectMove;
  if (allowed & kDropEffectLink) return kDropEffectLink;
  return kDropEffectNone;
}

}  // namespace korvane
