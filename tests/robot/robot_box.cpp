// The program the robot's own tests drive, standing in for the setup
// program: it shows what a test asks for and reports the user's answer as
// its exit code.
//   robot_box box STYLE CAPTION TEXT  MessageBoxA without owner; exits with
//                                     the answer (IDOK, IDYES, IDNO, ...)
//   robot_box report NAME             a box "report" showing the working
//                                     directory and the variable NAME
//   robot_box form                    a window "Robot form" with a check box,
//                                     a disabled and a hidden button and
//                                     "Done"; exits with 10 + check state
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

enum { kCheckId = 101, kDisabledId = 102, kHiddenId = 103, kDoneId = 104 };

LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kDoneId) {
        bool checked = IsDlgButtonChecked(window, kCheckId) == BST_CHECKED;
        DestroyWindow(window);
        PostQuitMessage(10 + (checked ? 1 : 0));
      }
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      PostQuitMessage(2);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND AddButton(HWND form, const char* text, DWORD style, int id, int top) {
  return CreateWindowA("Button", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 10, top, 150, 24,
                       form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                       GetModuleHandleA(nullptr), nullptr);
}

int RunForm() {
  WNDCLASSA formClass = {};
  formClass.lpfnWndProc = FormProcedure;
  formClass.hInstance = GetModuleHandleA(nullptr);
  formClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  formClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  formClass.lpszClassName = "RobotForm";
  RegisterClassA(&formClass);
  HWND form = CreateWindowA("RobotForm", "Robot form", WS_OVERLAPPEDWINDOW, 100, 100, 200, 200,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  AddButton(form, "&Remember", BS_AUTOCHECKBOX, kCheckId, 10);
  EnableWindow(AddButton(form, "&Disabled", BS_PUSHBUTTON, kDisabledId, 40), FALSE);
  ShowWindow(AddButton(form, "Hidden", BS_PUSHBUTTON, kHiddenId, 70), SW_HIDE);
  AddButton(form, "&Done", BS_DEFPUSHBUTTON, kDoneId, 100);
  ShowWindow(form, SW_SHOW);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(form, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

int Report(const char* name) {
  char directory[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof(directory), directory);
  char value[512] = "(unset)";
  GetEnvironmentVariableA(name, value, sizeof(value));
  std::string text = std::string(directory) + "\n" + value;
  return MessageBoxA(nullptr, text.c_str(), "report", MB_OK);
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "box" && argc == 5) {
    return MessageBoxA(nullptr, argv[4], argv[3],
                       static_cast<UINT>(std::strtoul(argv[2], nullptr, 0)));
  }
  if (mode == "report" && argc == 3) return Report(argv[2]);
  if (mode == "form") return RunForm();
  return 100;  // a usage error the tests would notice
}
