// Records and command blocks as the add-in sends them, and the simulator's reply as the add-in
// receives and frees it: what the simulator and session tests share.
#pragma once

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/automation/bytes.h"
#include "core/automation/hresult.h"
#include "project/records.h"
#include "standin/model/simulator.h"

namespace standin_test {

using Bytes = std::vector<uint8_t>;

// The record head (0, 0x0100, id, action) in the block every record is.
inline core::automation::ByteWriter Record(uint16_t id, uint16_t action) {
  core::automation::ByteWriter w(project::kFullRecordSize);
  w.U16(2, 0x0100);
  w.U16(4, id);
  w.U16(6, action);
  return w;
}

// Source 0x0010, cycle 5, wait 6.
inline Bytes Interrupt(uint16_t id, uint16_t source = 0x0010) {
  core::automation::ByteWriter w = Record(id, 1);
  w.U32(8, 5);
  w.U32(12, 6);
  w.U16(16, source);
  return w.Take();
}

inline Bytes FileStream(uint16_t id) { return Record(id, 17).Take(); }

// Members with ids 100, 101, ...
inline Bytes Connect(uint16_t id, uint16_t members) {
  core::automation::ByteWriter w = Record(id, 11);
  w.U16(16, members);
  for (uint16_t i = 0; i < members; ++i) w.U16(18 + 2u * i, static_cast<uint16_t>(100 + i));
  return w.Take();
}

inline Bytes Command(uint16_t code, int32_t id) {
  core::automation::ByteWriter w(8);
  w.U16(0, 8);
  w.U16(2, code);
  w.I32(4, id);
  return w.Take();
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
