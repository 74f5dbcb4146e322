// The program's message vocabulary: numbered texts of the string table, and
// the one way every subsystem shows a message. All boxes go through
// ShowMessageBox, whose handler a test may replace with a recorder; the real
// handler calls MessageBoxA.
#ifndef VANTOREL_BASE_MESSAGES_H
#define VANTOREL_BASE_MESSAGES_H

#include "base/message_ids.h"
#include "base/system_message_box.h"

// The fixed caption of failures before the package header has been read.
extern const char kProductCaption[];  // "Vantorel"

typedef int (*MessageBoxHandler)(const MessageBoxRequest& request);

// Installs a handler (null restores the real one); returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
int ShowMessageBox(const MessageBoxRequest& request);

// Error box: text `id`, formatted with `argument` when the text has "%s".
void ShowError(WindowHandle owner, const char* caption, unsigned id,
               const char* argument = nullptr);
// Question box (No preselected): true only when the answer is Yes.
bool AskQuestion(WindowHandle owner, const char* caption, unsigned id);
// The wizard's two literal warnings: no owner, warning icon.
void ShowWarning(const char* caption, const char* literalText);

// The caption FatalOutOfMemory uses: the product name until the setup
// caption exists, then that.
void SetFatalCaption(const char* caption);

// A numbered text of the executable's string table (English (United
// Kingdom)). Loads on first use; the text block belongs to the holder.
class ResourceText {
 public:
  explicit ResourceText(unsigned id);
  virtual ~ResourceText();
  ResourceText(const ResourceText&) = delete;
  ResourceText& operator=(const ResourceText&) = delete;
  // Always a local object, never on the heap: the virtual destructor then
  // needs no operator delete from the C++ runtime.
  static void* operator new(decltype(sizeof 0)) = delete;
  static void operator delete(void*) {}

  const char* Text();  // null when the id has no text
  int Length();

 private:
  bool Load();
  unsigned id_;
  char* text_;
  int length_;
};

#endif
