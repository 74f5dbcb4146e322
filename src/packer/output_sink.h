// Where vtpack writes a setup file: bytes appended in order, earlier bytes
// written over (a block's sizes, known only after its stream), and the end
// cut back (a block written again in another form).
#ifndef VANTOREL_PACKER_OUTPUT_SINK_H
#define VANTOREL_PACKER_OUTPUT_SINK_H

#include <cstddef>
#include <cstdint>

#include "packer/problem.h"

namespace packer {

class OutputSink {
 public:
  virtual Check Append(const std::uint8_t* bytes, std::size_t size) = 0;
  virtual Check WriteAt(std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) = 0;
  virtual Check Truncate(std::uint64_t size) = 0;
  virtual std::uint64_t Size() const = 0;

 protected:
  ~OutputSink() = default;
};

}  // namespace packer

#endif
