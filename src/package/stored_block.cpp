#include "package/stored_block.h"

#include <stdlib.h>
#include <string.h>

#include "package/block_reader.h"

namespace {

// The whole buffer is the reader's room.
class WholeBuffer final : public BlockRoom {
 public:
  explicit WholeBuffer(BlockBuffer& out) : out_(out) {}
  unsigned char* Room(uint32_t start, uint32_t* size) override {
    *size = out_.Capacity() - start;
    return out_.Data() + start;
  }

 private:
  BlockBuffer& out_;
};

}  // namespace

// A stream is read a piece at a time, as the file data is, and accepted as
// uncompress would accept it.
bool ReadStoredBlock(PackageInput& input, StoredBlockVariant variant, BlockBuffer* out) {
  out->Free();
  StoredBlock block;
  if (!ReadBlockSizes(input, &block)) return false;
  // The uninstaller has no stored form: a CompressedSize of 0 is an empty
  // stream, which does not inflate.
  bool compressed = block.CompressedSize != 0 || variant == StoredBlockVariant::kUninstaller;
  uint32_t capacity = 0;
  if (!CheckBlockSizes(input, block, compressed, &capacity)) return false;
  if (!out->Allocate(capacity)) {
    ReportOutOfMemory(input);
    return false;
  }
  BlockReader reader;
  WholeBuffer room(*out);
  BlockReader::Outcome outcome = BlockReader::kRunning;
  if (reader.Start(input, block, compressed, capacity)) {
    while ((outcome = reader.Step(room)) == BlockReader::kRunning) {
    }
  }
  if (outcome != BlockReader::kSucceeded) {
    out->Free();
    if (outcome != BlockReader::kRunning) ReportBlockFailure(input, outcome);
    return false;
  }
  out->SetLength(reader.Produced());
  return true;
}

SharedString LicenceTextOf(const BlockBuffer& block) {
  SharedString text;
  if (block.Length() == 0) return text;
  const void* nul = memchr(block.Data(), '\0', block.Length());
  uint32_t length =
      nul != nullptr ? static_cast<uint32_t>(static_cast<const unsigned char*>(nul) - block.Data())
                     : block.Length();
  if (length == 0) return text;
  char* chars = text.GetBufferOfLength(static_cast<int>(length));
  memcpy(chars, block.Data(), length);
  chars[length] = '\0';
  return text;
}
