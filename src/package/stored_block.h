// StoredBlock read whole: the licence text, the uninstaller and, in tests
// and tools, the file data. Reading one gives a buffer owned by the caller
// and the number of bytes it holds; its sizes are checked as
// package/block_sizes.h says.
#ifndef VANTOREL_PACKAGE_STORED_BLOCK_H
#define VANTOREL_PACKAGE_STORED_BLOCK_H

#include <stdint.h>

#include "base/shared_string.h"
#include "package/block_sizes.h"
#include "package/package_input.h"

enum class StoredBlockVariant {
  kLicence,      // CompressedSize 0: UncompressedSize bytes stored as they are
  kUninstaller,  // always inflated
  kFileData,     // CompressedSize 0: stored as they are
};

// Reads the block at the current position into `out`. On failure its
// message (IDS_READ_FILE, IDS_OUT_OF_MEMORY or IDS_UNCOMPRESS) has been
// shown and `out` is empty.
bool ReadStoredBlock(PackageInput& input, StoredBlockVariant variant, BlockBuffer* out);

// The licence text of a licence block: its bytes up to the first NUL, or all
// of them when there is none.
SharedString LicenceTextOf(const BlockBuffer& block);

#endif
