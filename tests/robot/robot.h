// The GUI robot: lets a test drive a Windows program the way a user would.
// It starts the program, waits for its windows, reads their texts and
// states, presses buttons, answers message boxes and takes screenshots.
//
// Everything works across processes, so tests run the real executables.
// Buttons are pressed with PostMessage, never SendMessage: a button may open
// a modal dialog, and the robot must stay free to answer it.
#ifndef VANTOREL_TESTS_ROBOT_ROBOT_H
#define VANTOREL_TESTS_ROBOT_ROBOT_H

#include <windows.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace robot {

// How long the robot waits for a state by default: long enough for a window
// to appear under Wine on a machine whose cores are all busy (5 s was not),
// and only ever spent in full by a test that fails. A test that expects
// something not to happen names a short time of its own.
constexpr DWORD kDefaultTimeoutMs = 20000;

// ---- waiting ----

// Asks `done` again and again until it holds or `timeoutMs` has passed;
// true when it held. The one way the robot and the tests wait: for the
// state they are about to check (a window shown, painting ended, a box
// closed, a file written), never for a fixed time, so that a busy machine
// only makes a test slower.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kDefaultTimeoutMs);

// ---- programs ----

struct StartOptions {
  std::string workingDirectory;          // empty: the test's own
  std::vector<std::string> environment;  // "NAME=value" on top of the test's
                                         // environment; "NAME=" removes NAME
};

// A started program. Owns its process handle; a program still running when
// its Program is destroyed is killed, so a failing test leaves no window
// behind to confuse the next one.
class Program {
 public:
  Program() = default;
  Program(HANDLE process, DWORD id) : process_(process), id_(id) {}
  Program(Program&& other) noexcept;
  Program& operator=(Program&& other) noexcept;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program();

  bool Started() const { return process_ != nullptr; }
  bool Running() const;
  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_; }
  // Why Start failed (empty when it did not).
  const std::string& Error() const { return error_; }
  void SetError(const std::string& error) { error_ = error; }

 private:
  void Release();
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
  std::string error_;
};

// Starts `path` with `arguments`, each quoted as the C runtime parses them.
Program Start(const std::string& path, const std::vector<std::string>& arguments = {},
              const StartOptions& options = {});

// Starts a command line as Windows starts a registered command (such as an
// Uninstall entry's "UninstallString"): CreateProcessA finds the program in
// the line itself, quoted or not.
Program StartCommandLine(const std::string& commandLine, const StartOptions& options = {});

// Starts the program at `path`, a UTF-16 path: for folders named in
// scripts the 8-bit code page lacks.
Program Start(const std::wstring& path);

// The exit code, or nothing when the program has not ended within the
// timeout; it is then killed (and its Program no longer runs).
std::optional<DWORD> WaitForExit(Program& program, DWORD timeoutMs = kDefaultTimeoutMs);

// "Z:\dir\file" for a Linux path: how Wine's programs see the host's files.
std::string WindowsPathOf(const std::string& unixPath);

// ---- windows and controls ----

// A visible top-level window of process `processId` (0: any process) whose
// class and caption equal the given ones (empty: any), polled until the
// timeout; null when none appeared.
HWND WaitForTopWindow(DWORD processId, const std::string& className,
                      const std::string& caption = "", DWORD timeoutMs = kDefaultTimeoutMs);

// A visible top-level window of process `processId` (0: any) that `accept`
// takes, e.g. the wizard sheet: a "#32770" with a Next button (id 0x3024).
HWND WaitForTopWindow(DWORD processId, const std::function<bool(HWND)>& accept,
                      DWORD timeoutMs = kDefaultTimeoutMs);

// Waits until `window` is gone (closed or its process ended).
bool WaitForWindowToClose(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);

// The first descendant with control id `id`; null when there is none.
HWND ChildById(HWND parent, int id);
// The first descendant whose text is `text`, compared as shown on screen
// (a mnemonic "&" is ignored on both sides); `className` empty: any class.
HWND ChildByText(HWND parent, const std::string& text, const std::string& className = "");
// Every direct child of `parent`, in z order (the dialog's tab order).
std::vector<HWND> ChildrenOf(HWND parent);

std::string TextOf(HWND window);  // WM_GETTEXT; "" when not answered in time
// The text, or nothing when the window's program did not answer in time.
std::optional<std::string> AnsweredTextOf(HWND window);
std::string ClassOf(HWND window);
bool IsEnabled(HWND window);
bool IsVisible(HWND window);
bool IsChecked(HWND button);        // BM_GETCHECK: BST_CHECKED
bool IsDefaultButton(HWND button);  // BS_DEFPUSHBUTTON style

// Presses `button` (BM_CLICK, posted). False, and nothing pressed, when the
// button is null, hidden or disabled: a user could not press it either.
bool Click(HWND button);
// Posts WM_COMMAND `id` to `dialog`, as its control `id` would send it.
bool SendCommand(HWND dialog, int id);
// Replaces the text of `window` (an edit control: what the user typed).
bool SetText(HWND window, const std::string& text);
// Waits until the thread of `button` (any push button of a dialog) has
// handled every message posted to it so far, also those that handling them
// posted in turn (the dialog manager turns WM_CLOSE into a posted IDCANCEL).
// False when the button went away or the thread did not answer in time.
bool WaitForPostedMessages(HWND button, DWORD timeoutMs = kDefaultTimeoutMs);

// ---- message boxes ----

enum class BoxIcon { None, Error, Question, Warning, Information, Unknown };
const char* NameOf(BoxIcon icon);

struct MessageBoxContent {
  std::string caption;
  std::string text;
  BoxIcon icon = BoxIcon::Unknown;
  std::vector<std::string> buttons;  // texts, left to right
  std::string defaultButton;         // text of the preselected button
};
bool operator==(const MessageBoxContent& a, const MessageBoxContent& b);
inline bool operator!=(const MessageBoxContent& a, const MessageBoxContent& b) { return !(a == b); }
// For test failure messages.
std::ostream& operator<<(std::ostream& out, const MessageBoxContent& content);

// A visible message box of process `processId` (0: any): a "#32770" dialog
// with the message text in its Static control 0xFFFF.
HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs = kDefaultTimeoutMs);
// Reads caption, text, buttons and icon. The icon is recognised on screen
// (icon handles of another process cannot be inspected), so the box must be
// uncovered; this waits up to the timeout for it to be painted.
MessageBoxContent ReadMessageBox(HWND box, DWORD timeoutMs = kDefaultTimeoutMs);
// Presses the box's button IDOK, IDYES, IDNO, ...; false when the box has no
// such button (nothing is pressed then).
bool AnswerMessageBox(HWND box, int answer);

// ---- mouse ----

// Moves the pointer to (x, y) on the screen, as the user's hand would:
// the window beneath gets its mouse moves. False when the pointer did not
// get there.
bool MoveMouseTo(POINT point);
// Presses or releases the left button where the pointer is.
bool PressLeftButton();
bool ReleaseLeftButton();
// The centre of `window`'s rectangle on the screen.
POINT CentreOf(HWND window);

// ---- screen ----

// Saves the whole screen as <build>/screenshots/<name>.png and returns that
// file's path; empty on failure.
std::string SaveScreenshot(const std::string& name);
// The same for the part of the screen that `window` covers.
std::string SaveWindowScreenshot(HWND window, const std::string& name);

}  // namespace robot

#endif
