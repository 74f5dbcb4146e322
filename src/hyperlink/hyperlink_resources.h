// The banner link's window class and resources, shared by its code and the
// setup program's resource script (which draws the link on every wizard
// page).
#ifndef VANTOREL_HYPERLINK_HYPERLINK_RESOURCES_H
#define VANTOREL_HYPERLINK_HYPERLINK_RESOURCES_H

#define HYPERLINK_CLASS_NAME "BitmapHyperlink"
#define IDB_HYPERLINK 125         // the banner picture, 56 x 56, 16 colours
#define IDC_HYPERLINK_CURSOR 126  // the pointer over the link

#endif
