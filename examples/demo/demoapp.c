/* Vantorel Demo: the small program the demo setup installs. Its main window
   has a class of its own, "VantorelDemoWindow", so that a setup program can
   find a running copy and ask it to close; its version resource is what
   vtpack stores as the file's version.

   For tests it leaves a trace: when the environment variable
   VANTOREL_DEMO_TRACE is set, or "/trace" is on the command line, it writes
   "demoapp-trace.txt" into its working directory (the command line and the
   working directory, one per line). With VANTOREL_DEMO_TRACE=exit it ends
   right after writing, without a window. */
#include <windows.h>
#include <string.h>

static const char kWindowClass[] = "VantorelDemoWindow";
static const char kTraceFile[] = "demoapp-trace.txt";

static LRESULT CALLBACK DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      static const char text[] = "Vantorel Demo 1.0 is running.";
      PAINTSTRUCT paint;
      RECT client;
      HDC dc = BeginPaint(window, &paint);
      GetClientRect(window, &client);
      DrawTextA(dc, text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

static void WriteLine(HANDLE file, const char* text) {
  DWORD written;
  WriteFile(file, text, (DWORD)lstrlenA(text), &written, NULL);
  WriteFile(file, "\r\n", 2, &written, NULL);
}

/* Returns FALSE when the file cannot be written; the program goes on. */
static BOOL WriteTrace(void) {
  char directory[MAX_PATH];
  HANDLE file =
      CreateFileA(kTraceFile, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  if (GetCurrentDirectoryA(sizeof directory, directory) == 0) directory[0] = '\0';
  WriteLine(file, GetCommandLineA());
  WriteLine(file, directory);
  CloseHandle(file);
  return TRUE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  char trace[16] = "";
  BOOL traced = GetEnvironmentVariableA("VANTOREL_DEMO_TRACE", trace, sizeof trace) > 0;
  WNDCLASSA windowClass;
  HWND window;
  MSG message;
  (void)previous;

  if (traced || strstr(commandLine, "/trace") != NULL) WriteTrace();
  if (traced && lstrcmpiA(trace, "exit") == 0) return 0;

  memset(&windowClass, 0, sizeof windowClass);
  windowClass.lpfnWndProc = DemoWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
  windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassA(&windowClass)) return 1;
  window = CreateWindowA(kWindowClass, "Vantorel Demo", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                         CW_USEDEFAULT, 400, 200, NULL, NULL, instance, NULL);
  if (window == NULL) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  while (GetMessageA(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return (int)message.wParam;
}
