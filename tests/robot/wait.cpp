// The robot's one waiting loop.
#include "robot/robot.h"

namespace robot {

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  // Often enough that a test hardly waits longer than the state takes to
  // come, seldom enough to leave the machine to the program under test.
  constexpr DWORD kPollIntervalMs = 20;
  DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(kPollIntervalMs);
  }
}

}  // namespace robot
