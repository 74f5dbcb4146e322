// The package's file-type associations, written under HKEY_CLASSES_ROOT
// (a per-user package's under HKEY_CURRENT_USER\Software\Classes, the
// user's own part of it, base/install_scope.h): the extension's key names
// the class; the class key holds the description, the open command and the
// icon. The class's values that already hold the wanted text stay untouched
// (the extension's own value is written every time), and the shell is told
// once, at the end, when anything changed.
// Registry failures are silent.
#ifndef VANTOREL_ENGINE_ASSOCIATIONS_H
#define VANTOREL_ENGINE_ASSOCIATIONS_H

#include <windows.h>

#include "package/association_section.h"

class AssociationWriter final : public AssociationSink {
 public:
  // `destination`: the text that replaces "<Destination>" in the program
  // and icon paths.
  explicit AssociationWriter(const char* destination);
  ~AssociationWriter();
  AssociationWriter(const AssociationWriter&) = delete;
  AssociationWriter& operator=(const AssociationWriter&) = delete;

  void Association(const AssociationRecord& record) override;
  // After the last entry: tells the shell when anything changed.
  void Finish();

 private:
  const char* destination_;
  HKEY classes_;  // null: the user's classes key could not be opened
  bool changed_ = false;
};

#endif
