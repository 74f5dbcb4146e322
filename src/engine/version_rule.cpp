#include "engine/version_rule.h"

bool IsNewerVersion(const uint16_t candidate[4], const uint16_t installed[4]) {
  for (int i = 0; i < 4; ++i) {
    if (candidate[i] != installed[i]) return candidate[i] > installed[i];
  }
  return false;
}
