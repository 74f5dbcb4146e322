// Opening a web page in a new browser window. Web addresses go straight to
// the program registered for ".htm" files, so that an open browser window
// is not taken over; "mailto:" addresses, and systems without that
// registration, go through the shell.
#ifndef VANTOREL_HYPERLINK_BROWSER_LAUNCH_H
#define VANTOREL_HYPERLINK_BROWSER_LAUNCH_H

// True when a browser process was started or the shell reported success.
// `showCommand` applies to the shell path only.
bool LaunchBrowser(const char* address, int showCommand);

#endif
