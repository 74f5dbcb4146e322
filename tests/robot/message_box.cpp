// Reading and answering message boxes, as Windows and Wine build them: a
// "#32770" dialog with the text in Static 0xFFFF, an icon Static (SS_ICON)
// and one push button per answer.
#include <algorithm>

#include "robot/robot.h"
#include "robot/screen.h"

namespace robot {
namespace {

constexpr int kMessageTextId = 0xFFFF;

// The text is the box's own child: a dialog whose inner dialogs hold
// unnamed statics (a wizard sheet's pages) is no message box.
HWND MessageTextOf(HWND box) { return GetDlgItem(box, kMessageTextId); }

bool IsMessageBox(HWND window) {
  HWND text = MessageTextOf(window);
  return ClassOf(window) == "#32770" && text && ClassOf(text) == "Static";
}

HWND IconControlOf(HWND box) {
  for (HWND child : ChildrenOf(box)) {
    if (ClassOf(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      return child;
    }
  }
  return nullptr;
}

struct KnownIcon {
  BoxIcon icon;
  LPCSTR resource;
};
const KnownIcon kKnownIcons[] = {
    {BoxIcon::Error, IDI_HAND},
    {BoxIcon::Question, IDI_QUESTION},
    {BoxIcon::Warning, IDI_EXCLAMATION},
    {BoxIcon::Information, IDI_ASTERISK},
};

size_t DifferingPixels(const Image& a, const Image& b) {
  if (a.pixels.size() != b.pixels.size()) return size_t(-1);
  size_t count = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) count += a.pixels[i] != b.pixels[i];
  return count;
}

// The system icon that the icon control shows on screen, drawn here the same
// way: the four icons differ in at least a sixth of their pixels, so a match
// within 2% is certain while tolerating a stray pixel.
BoxIcon IconOnScreen(HWND control) {
  RECT area;
  GetWindowRect(control, &area);
  Image shown = CaptureScreen(area);
  if (shown.pixels.empty()) return BoxIcon::Unknown;
  // Icons leave their corners transparent: the corner shows the background.
  uint32_t background = shown.pixels[0];
  for (const KnownIcon& known : kKnownIcons) {
    Image drawn =
        RenderIcon(LoadIcon(nullptr, known.resource), shown.width, shown.height, background);
    if (DifferingPixels(shown, drawn) * 50 <= shown.pixels.size()) return known.icon;
  }
  return BoxIcon::Unknown;
}

BoxIcon IconOf(HWND box, DWORD timeoutMs) {
  HWND control = IconControlOf(box);
  if (!control || !IsWindowVisible(control)) return BoxIcon::None;
  DWORD_PTR handle = 0;
  if (!SendMessageTimeoutA(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &handle)) {
    return BoxIcon::Unknown;
  }
  if (!handle) return BoxIcon::None;
  // A box of this process shares the system icons' handles.
  for (const KnownIcon& known : kKnownIcons) {
    if (reinterpret_cast<HICON>(handle) == LoadIcon(nullptr, known.resource)) return known.icon;
  }
  // Another process's handles differ: compare what is painted, once the
  // box has been drawn.
  BoxIcon icon = BoxIcon::Unknown;
  WaitUntil([&] { return (icon = IconOnScreen(control)) != BoxIcon::Unknown; }, timeoutMs);
  return icon;
}

}  // namespace

const char* NameOf(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::None:
      return "none";
    case BoxIcon::Error:
      return "error";
    case BoxIcon::Question:
      return "question";
    case BoxIcon::Warning:
      return "warning";
    case BoxIcon::Information:
      return "information";
    case BoxIcon::Unknown:
      break;
  }
  return "unknown";
}

HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
  return WaitForTopWindow(processId, IsMessageBox, timeoutMs);
}

namespace {

// False when a text was not read: the program did not answer in time.
bool ReadTexts(HWND box, MessageBoxContent& content) {
  content = {};
  bool answered = true;
  auto read = [&](HWND window) {
    std::optional<std::string> text = AnsweredTextOf(window);
    answered = answered && text.has_value();
    return text.value_or("");
  };
  content.caption = read(box);
  content.text = read(MessageTextOf(box));
  std::vector<HWND> buttons;
  for (HWND child : ChildrenOf(box)) {
    if (ClassOf(child) == "Button" && IsWindowVisible(child)) buttons.push_back(child);
  }
  auto left = [](HWND button) {
    RECT area;
    GetWindowRect(button, &area);
    return area.left;
  };
  std::stable_sort(buttons.begin(), buttons.end(),
                   [&](HWND a, HWND b) { return left(a) < left(b); });
  for (HWND button : buttons) {
    content.buttons.push_back(read(button));
    if (IsDefaultButton(button)) content.defaultButton = content.buttons.back();
  }
  return answered;
}

}  // namespace

// A busy program (the 32-bit one under emulation, drawing the box) may not
// answer a text read in time: the box is read again until it does.
MessageBoxContent ReadMessageBox(HWND box, DWORD timeoutMs) {
  MessageBoxContent content;
  WaitUntil([&] { return ReadTexts(box, content) || !IsWindow(box); }, timeoutMs);
  content.icon = IconOf(box, timeoutMs);
  return content;
}

bool operator==(const MessageBoxContent& a, const MessageBoxContent& b) {
  return a.caption == b.caption && a.text == b.text && a.icon == b.icon && a.buttons == b.buttons &&
         a.defaultButton == b.defaultButton;
}

std::ostream& operator<<(std::ostream& out, const MessageBoxContent& content) {
  out << "{caption \"" << content.caption << "\", text \"" << content.text << "\", icon "
      << NameOf(content.icon) << ", buttons";
  for (const std::string& button : content.buttons) out << " \"" << button << "\"";
  return out << ", default \"" << content.defaultButton << "\"}";
}

bool AnswerMessageBox(HWND box, int answer) {
  HWND button = ChildById(box, answer);
  return button && ClassOf(button) == "Button" && Click(button);
}

}  // namespace robot
