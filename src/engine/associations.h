// The package's file-type associations, written under HKEY_CLASSES_ROOT.
#ifndef VANTOREL_ENGINE_ASSOCIATIONS_H
#define VANTOREL_ENGINE_ASSOCIATIONS_H

#include "package/association_section.h"

class AssociationWriter final : public AssociationSink {
 public:
  void Association(const AssociationRecord& record) override;
  // After the last entry: tells the shell when anything changed.
  void Finish();
};

#endif
