// Finding windows and controls, reading them, pressing buttons.
#include <algorithm>

#include "robot/robot.h"

namespace robot {
namespace {

// How long one cross-process message may take before the window counts as
// hung; a hung program must fail the test, not block it.
constexpr UINT kMessageTimeoutMs = 2000;

struct TopWindowSearch {
  DWORD processId;
  const std::function<bool(HWND)>* accept;
  HWND found;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<TopWindowSearch*>(parameter);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (search->processId != 0 && processId != search->processId) return TRUE;
  if (!IsWindowVisible(window) || !(*search->accept)(window)) return TRUE;
  search->found = window;
  return FALSE;
}

std::string WithoutMnemonic(const std::string& text) {
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;  // "&&" shows one "&"
    shown += text[i];
  }
  return shown;
}

struct ChildSearch {
  bool byId;
  int id;
  std::string text;  // without mnemonic
  const std::string* className;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM parameter) {
  auto* search = reinterpret_cast<ChildSearch*>(parameter);
  bool matches = search->byId
                     ? GetDlgCtrlID(child) == search->id
                     : WithoutMnemonic(TextOf(child)) == search->text &&
                           (search->className->empty() || ClassOf(child) == *search->className);
  if (!matches) return TRUE;
  search->found = child;
  return FALSE;
}

}  // namespace

HWND WaitForTopWindow(DWORD processId, const std::function<bool(HWND)>& accept, DWORD timeoutMs) {
  TopWindowSearch search = {processId, &accept, nullptr};
  WaitUntil(
      [&] {
        EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeoutMs);
  return search.found;
}

HWND WaitForTopWindow(DWORD processId, const std::string& className, const std::string& caption,
                      DWORD timeoutMs) {
  return WaitForTopWindow(
      processId,
      [&](HWND window) {
        return (className.empty() || ClassOf(window) == className) &&
               (caption.empty() || TextOf(window) == caption);
      },
      timeoutMs);
}

bool WaitForWindowToClose(HWND window, DWORD timeoutMs) {
  return WaitUntil([&] { return !IsWindow(window); }, timeoutMs);
}

HWND ChildById(HWND parent, int id) {
  ChildSearch search = {true, id, "", nullptr, nullptr};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ChildByText(HWND parent, const std::string& text, const std::string& className) {
  ChildSearch search = {false, 0, WithoutMnemonic(text), &className, nullptr};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

std::optional<std::string> AnsweredTextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                           &length)) {
    return std::nullopt;
  }
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                           SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied)) {
    return std::nullopt;
  }
  text.resize(std::min<size_t>(copied, length));
  return text;
}

std::string TextOf(HWND window) { return AnsweredTextOf(window).value_or(""); }

std::string ClassOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof(name));
  return name;
}

bool IsEnabled(HWND window) { return window && IsWindowEnabled(window); }

bool IsVisible(HWND window) { return window && IsWindowVisible(window); }

bool IsChecked(HWND button) {
  DWORD_PTR state = 0;
  return button &&
         SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &state) &&
         state == BST_CHECKED;
}

bool IsDefaultButton(HWND button) {
  return button && (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

bool Click(HWND button) {
  if (!IsVisible(button) || !IsEnabled(button)) return false;
  return PostMessageA(button, BM_CLICK, 0, 0) != 0;
}

bool SendCommand(HWND dialog, int id) {
  HWND control = ChildById(dialog, id);
  return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(control)) != 0;
}

bool SetText(HWND window, const std::string& text) {
  DWORD_PTR result = 0;
  return window &&
         SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result) &&
         result == TRUE;
}

bool WaitForPostedMessages(HWND button, DWORD timeoutMs) {
  // BM_SETSTATE posted now queues behind everything posted before; once the
  // button shows the new state, those have been handled. The second round,
  // back to the unpushed state, covers what they posted in turn.
  for (BOOL pushed : {TRUE, FALSE}) {
    if (!PostMessageA(button, BM_SETSTATE, pushed, 0)) return false;
    bool answered = true;
    bool shown = WaitUntil(
        [&] {
          DWORD_PTR state = 0;
          answered = SendMessageTimeoutA(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG,
                                         kMessageTimeoutMs, &state) != 0;
          return !answered || ((state & BST_PUSHED) != 0) == (pushed != FALSE);
        },
        timeoutMs);
    if (!shown || !answered) return false;
  }
  return true;
}

}  // namespace robot
