// Ids of the string table, and their texts. The resource script builds the
// table from these definitions; native builds read the same texts.
#ifndef VANTOREL_BASE_MESSAGE_IDS_H
#define VANTOREL_BASE_MESSAGE_IDS_H

#include "base/deployment_interface.h"

#define IDS_CONFIRM_EXIT 2
#define IDS_COM_INIT_FAILED 3
#define IDS_CREATE_REGISTRY_KEY 4
#define IDS_SAVE_REGISTRY_KEY 5
#define IDS_RUN_PROGRAM 6
#define IDS_OPEN_FILE 7
#define IDS_READ_FILE 8
#define IDS_WRITE_FILE 9
#define IDS_CREATE_DIRECTORY 10
#define IDS_OUT_OF_MEMORY 11
#define IDS_UNCOMPRESS 12
#define IDS_PROGRAM_EXISTS 13
#define IDS_CREATE_SHORTCUT 14
#define IDS_READING_DATA 15
#define IDS_UNCOMPRESSING_DATA 16
#define IDS_CREATING_FILES 17
#define IDS_UNKNOWN_DESTINATION 22
#define IDS_FOLDER_PATH 23
#define IDS_REGISTER_FILE 24
#define IDS_READ_REGISTRY_KEY 25
#define IDS_OPEN_REGISTRY_KEY 26
// A destination setup cannot install into: not a full path, another
// application's, holding an earlier install's record that was changed, or
// open to other users and holding their files.
#define IDS_DESTINATION_REFUSED 28
#define IDS_OTHER_APPLICATION 30
#define IDS_EARLIER_RECORD_CHANGED 31
#define IDS_FOLDER_OPEN 27
// A file in use that cannot wait for the next start of Windows, and the
// program that uses it when Windows cannot tell which.
#define IDS_FILE_IN_USE 32
#define IDS_SOME_PROGRAM 33
// The command line's switches and exit codes (/?, or an argument setup
// does not know).
#define IDS_USAGE 29

#define TEXT_CONFIRM_EXIT "Are you sure you want to exit the installer?"
#define TEXT_COM_INIT_FAILED "Unable to initialise COM."
#define TEXT_CREATE_REGISTRY_KEY "Unable to create registry key."
#define TEXT_SAVE_REGISTRY_KEY "Unable to save registry key."
#define TEXT_RUN_PROGRAM "Unable to run program."
#define TEXT_OPEN_FILE "Unable to open the file '%s'."
#define TEXT_READ_FILE "Error reading from the file '%s'."
#define TEXT_WRITE_FILE "Error writing to the file '%s'."
#define TEXT_CREATE_DIRECTORY "Unable to create the directory '%s'."
#define TEXT_OUT_OF_MEMORY "Unable to allocate memory."
#define TEXT_UNCOMPRESS "There was an error uncompressing the data."
#define TEXT_PROGRAM_EXISTS \
  "The program already exists in this\ndirectory, do you want to overwrite it?"
#define TEXT_CREATE_SHORTCUT "Unable to create shortcut."
#define TEXT_READING_DATA "Reading data..."
#define TEXT_UNCOMPRESSING_DATA "Uncompressing data..."
#define TEXT_CREATING_FILES "Creating files..."
#define TEXT_UNKNOWN_DESTINATION "Unknown destination type."
#define TEXT_FOLDER_PATH "Unable to determine the path to the %s directory."
#define TEXT_REGISTER_FILE "Unable to register the file '%s'."
#define TEXT_READ_REGISTRY_KEY "Unable to read registry key."
#define TEXT_OPEN_REGISTRY_KEY "Unable to open registry key."
#define TEXT_DESTINATION_REFUSED "Setup can't install into '%s'. Type a full path like C:\\App."
#define TEXT_OTHER_APPLICATION "'%s' holds another application."
#define TEXT_EARLIER_RECORD_CHANGED \
  "The install record in '%s' was changed: installing there would orphan what it names."
#define TEXT_FOLDER_OPEN \
  "Other users can change '%s', and it holds files of others. Choose another folder."
#define TEXT_FILE_IN_USE \
  "'%s' is in use by %s. Other users can change a folder on its way, so it can't wait " \
  "for a restart: close the program, then choose Retry."
#define TEXT_SOME_PROGRAM "a program"
// The exit codes' numbers as text (base/deployment_interface.h).
#define VT_NUMBER_TEXT(number) VT_NUMBER_TEXT_OF(number)
#define VT_NUMBER_TEXT_OF(number) #number
// clang-format off: one line of the text a line here
#define TEXT_USAGE \
  "/S\tsilent; accepts the licence\n" \
  "/PASSIVE\tas /S, showing progress\n" \
  "/LOG=file\tlog of the run\n" \
  "/D=folder\tdestination, last\n\n" \
  VT_NUMBER_TEXT(VT_EXIT_DONE) " done, " \
  VT_NUMBER_TEXT(VT_EXIT_FAILED) " failed, " \
  VT_NUMBER_TEXT(VT_EXIT_RESTART_NEEDED) " restart needed, " \
  VT_NUMBER_TEXT(VT_EXIT_BAD_COMMAND_LINE) " bad command line"
// clang-format on

#endif
