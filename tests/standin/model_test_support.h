// What the tests of the stand-in model share: the records the add-in sends for the sample project
// (the golden file of them that the checker uses), command blocks, and the reply of the simulator
// as the add-in receives and frees it.
#pragma once

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "core/automation/bytes.h"
#include "core/bridge/trigger_command.h"
#include "standin/model/simulator.h"
#include "tests/core/test_support.h"

namespace standin_test {

using Bytes = std::vector<uint8_t>;
using core::automation::HResultText;
using core::bridge::CommandBlock;

inline const std::string kSample = (test_support::SourceDir() / "examples/sample.vpj").string();

// The sample's records by trigger id, from their "ID HEX HEX ..." lines.
inline const std::map<int32_t, Bytes>& SampleRecords() {
  static const std::map<int32_t, Bytes> records = [] {
    std::map<int32_t, Bytes> read;
    std::istringstream lines(test_support::ReadBytes(test_support::SourceDir() /
                                                     "tests/tools/golden/sample-records.txt"));
    int32_t id = 0;
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      fields >> id;
      for (unsigned byte = 0; fields >> std::hex >> byte;) read[id].push_back(uint8_t(byte));
    }
    return read;
  }();
  return records;
}

// A record with bytes written over it from `offset`; a sample record so changed.
inline Bytes With(Bytes record, size_t offset, const Bytes& bytes) {
  std::copy(bytes.begin(), bytes.end(), record.begin() + static_cast<std::ptrdiff_t>(offset));
  return record;
}
inline Bytes Patched(int32_t id, size_t offset, const Bytes& bytes) {
  return With(SampleRecords().at(id), offset, bytes);
}

// A reply block, freed the way the add-in frees it.
struct Reply {
  core::automation::HResult hr = core::automation::kOk;
  std::unique_ptr<uint8_t, decltype(&std::free)> block{nullptr, &std::free};

  uint32_t Word() const { return core::automation::ReadU32(block.get() + 4); }
  void* Pointer() const {
    void* pointer;
    std::memcpy(&pointer, block.get() + 4, sizeof pointer);
    return pointer;
  }
};

// Sends the bytes from a heap copy of exactly their size, so that reading past them is caught
// by the address sanitizer.
inline Reply Send(standin::model::Simulator& simulator, const Bytes& bytes) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size()]);
  std::memcpy(copy.get(), bytes.data(), bytes.size());
  void* block = nullptr;
  Reply reply;
  reply.hr = simulator.Command(copy.get(), &block);
  reply.block.reset(static_cast<uint8_t*>(block));
  return reply;
}

}  // namespace standin_test
