// The package's file-type associations, written under HKEY_CLASSES_ROOT:
// the extension's key names the class; the class key holds the description,
// the open command and the icon. The class's values that already hold the
// wanted text stay untouched (the extension's own value is written every
// time), and the shell is told once, at the end, when anything changed.
// Registry failures are silent.
#ifndef VANTOREL_ENGINE_ASSOCIATIONS_H
#define VANTOREL_ENGINE_ASSOCIATIONS_H

#include "package/association_section.h"

class AssociationWriter final : public AssociationSink {
 public:
  // `destination`: the text that replaces "<Destination>" in the program
  // and icon paths.
  explicit AssociationWriter(const char* destination) : destination_(destination) {}

  void Association(const AssociationRecord& record) override;
  // After the last entry: tells the shell when anything changed.
  void Finish();

 private:
  const char* destination_;
  bool changed_ = false;
};

#endif
