#include "uninstaller/uninstaller_text.h"

#include "base/messages.h"

SharedString UninstallerTextV(unsigned id, va_list arguments) {
  SharedString text;
  ResourceText format(id);
  if (format.Text() != nullptr) FormatStringV(text, format.Text(), arguments);
  return text;
}

SharedString UninstallerText(unsigned id, ...) {
  va_list arguments;
  va_start(arguments, id);
  SharedString text = UninstallerTextV(id, arguments);
  va_end(arguments);
  return text;
}
