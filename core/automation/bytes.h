// Little-endian byte layouts: trigger records, command blocks and the simulator's tables are
// built and read field by field at fixed offsets, never by casting structures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace core::automation {

// A zero-filled block of fixed size written at explicit offsets. Writes past the end are a
// programming error and are ignored rather than overrunning.
class ByteWriter {
 public:
  explicit ByteWriter(size_t size) : bytes_(size, 0) {}

  void U8(size_t offset, uint8_t value) { Put(offset, &value, 1); }
  void U16(size_t offset, uint16_t value) {
    const uint8_t b[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    Put(offset, b, 2);
  }
  void U32(size_t offset, uint32_t value) {
    const uint8_t b[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    Put(offset, b, 4);
  }
  void I16(size_t offset, int16_t value) { U16(offset, static_cast<uint16_t>(value)); }
  void I32(size_t offset, int32_t value) { U32(offset, static_cast<uint32_t>(value)); }
  void U64(size_t offset, uint64_t value) {
    U32(offset, static_cast<uint32_t>(value));
    U32(offset + 4, static_cast<uint32_t>(value >> 32));
  }
  void F64(size_t offset, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    U64(offset, bits);
  }
  // At most `width` characters of the text; the rest of the field stays zero.
  void Text(size_t offset, std::string_view text, size_t width) {
    Put(offset, text.data(), text.size() < width ? text.size() : width);
  }
  void Bytes(size_t offset, const void* data, size_t size) { Put(offset, data, size); }

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  void Put(size_t offset, const void* data, size_t size) {
    if (offset > bytes_.size() || size > bytes_.size() - offset) return;
    if (size != 0) std::memcpy(bytes_.data() + offset, data, size);
  }

  std::vector<uint8_t> bytes_;
};

inline uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t ReadI32(const uint8_t* p) { return static_cast<int32_t>(ReadU32(p)); }
inline uint64_t ReadU64(const uint8_t* p) {
  return ReadU32(p) | (static_cast<uint64_t>(ReadU32(p + 4)) << 32);
}
inline double ReadF64(const uint8_t* p) {
  const uint64_t bits = ReadU64(p);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace core::automation
