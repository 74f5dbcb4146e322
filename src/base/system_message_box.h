// A message box as the program asks for one, and the system's modal box
// that shows it when no handler (base/messages.h) is installed.
#ifndef VANTOREL_BASE_SYSTEM_MESSAGE_BOX_H
#define VANTOREL_BASE_SYSTEM_MESSAGE_BOX_H

// An HWND on Windows; kept opaque so this header builds natively too.
typedef void* WindowHandle;

// Message box styles and answers as Windows defines them.
enum : unsigned {
  kBoxError = 0x10,      // MB_ICONERROR
  kBoxQuestion = 0x124,  // MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2
  kBoxWarning = 0x30,    // MB_ICONWARNING
};
enum { kAnswerOk = 1, kAnswerYes = 6, kAnswerNo = 7 };

struct MessageBoxRequest {
  WindowHandle owner;  // null: no owner
  unsigned id;         // string-table id; 0 for a literal text
  const char* text;    // the text shown (formatted)
  const char* caption;
  unsigned style;
};

int SystemMessageBox(const MessageBoxRequest& request);

#endif
