// Which family of Windows the program runs on. Replacing a file in use, and
// restarting, work differently on the Windows 95 family.
#ifndef VANTOREL_BASE_WINDOWS_VERSION_H
#define VANTOREL_BASE_WINDOWS_VERSION_H

// True on the Windows NT family (every Windows since 2000), false on
// Windows 95, 98 and Me.
bool IsWindowsNT();

// Every caller asks through IsWindowsNT, so a test can stand in either
// answer. Null restores the system's; returns the test that was in place.
typedef bool (*WindowsFamilyTest)();
WindowsFamilyTest SetWindowsFamilyTest(WindowsFamilyTest test);

#endif
