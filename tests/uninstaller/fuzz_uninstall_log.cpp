// Fuzz target of the uninstaller's readers of untrusted text: any bytes as
// an "Uninst.log", as an install record, and as its command line. Besides
// not crashing, the readers must keep their promise: a log or record they
// accept, written back in the layout setup writes, gives exactly the bytes
// they read, so nothing was dropped, repaired or invented on the way.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "base/install_record_text.h"
#include "base/path_list.h"
#include "base/path_rules.h"
#include "uninstaller/command_line.h"
#include "uninstaller/log_parser.h"

namespace {

void Require(bool condition) {
  if (!condition) abort();
}

void AppendList(std::string& text, int count, const SharedString& list) {
  text += std::to_string(count) + "\n";
  text += list.Text();
  SharedString path;
  int paths = 0;
  for (int position = 0; NextPath(list, position, path); ++paths) Require(IsFullPath(path));
  Require(paths == count);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  UninstallLog log;
  if (ParseUninstallLog(text, size, log) == 0) {
    std::string written = std::string(log.appName.Text()) + "\n";
    written +=
        log.checkProgramNotRunning ? "CheckProgramNotRunning\n" : "Don'tCheckProgramNotRunning\n";
    if (log.checkProgramNotRunning) written += std::string(log.windowClass.Text()) + "\n";
    AppendList(written, log.shortcutCount, log.shortcuts);
    AppendList(written, log.sharedFileCount, log.sharedFiles);
    Require(written == std::string(text, size));
  }
  InstallRecord record;
  if (ParseInstallRecord(text, size, record) == 0) {
    Require(std::string(InstallRecordText(record).Text()) == std::string(text, size));
  }
  const std::string commandLine(text, strnlen(text, size));
  SharedString logPath;
  if (LogPathFromCommandLine(commandLine.c_str(), logPath)) {
    Require(IsFullPath(logPath));
    Require(strstr(commandLine.c_str(), logPath) != nullptr);
  }
  return 0;
}
