// The uninstaller's string table (uninstaller.rc): ids and texts. Its ids
// start at 100, clear of the setup program's, so that base's messages (the
// out-of-memory box among them) never pick up one of these.
#ifndef VANTOREL_UNINSTALLER_UNINSTALLER_TEXT_IDS_H
#define VANTOREL_UNINSTALLER_UNINSTALLER_TEXT_IDS_H

// Before anything is removed; each ends the uninstaller.
#define IDS_UN_USAGE 100
#define IDS_UN_LOG_MISSING 101
#define IDS_UN_LOG_UNREADABLE 102
#define IDS_UN_LOG_DAMAGED 103
#define IDS_UN_FOLDER_REFUSED 104
#define IDS_UN_NOT_REGISTERED 119
#define IDS_UN_LOG_CHANGED 120
#define IDS_UN_RECORD_CHANGED 121
#define IDS_UN_RECORD_DAMAGED 122
#define IDS_UN_FILE_LINK 130
// Questions.
#define IDS_UN_CONFIRM 105
#define IDS_UN_PROGRAM_RUNNING 106
#define IDS_UN_REMOVE_SHARED_FILE 107
// The closing message, and its lines for what was left.
#define IDS_UN_REMOVED 108
#define IDS_UN_REMOVED_EXCEPT 109
#define IDS_UN_LEFT_AT_RESTART 110
#define IDS_UN_LEFT_NOT_REMOVED 111
#define IDS_UN_LEFT_FOLDER 112
#define IDS_UN_LEFT_FOLDER_SHARED 114
#define IDS_UN_LEFT_NO_COUNT 115
#define IDS_UN_LEFT_COUNT_NOT_SAVED 116
#define IDS_UN_LEFT_ENTRY 117
#define IDS_UN_LEFT_MORE 118
#define IDS_UN_LEFT_NOT_INSTALLED 123
#define IDS_UN_LEFT_LINK 124
#define IDS_UN_LEFT_NO_RECORD 125
#define IDS_UN_LEFT_IN_USE 131
#define IDS_UN_LEFT_OTHER_NAMES 132
#define IDS_UN_LEFT_READ_ONLY_NAMES 133
#define IDS_UN_LEFT_EARLIER 134
#define IDS_UN_LEFT_EARLIER_GONE 135

#endif
