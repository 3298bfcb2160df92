// GenerateData: reads the data pattern of a data trigger from the text the user typed, either a
// list of explicit values or a random pattern count,min,max whose values the simulator
// draws itself. It turns the text into the numbers of the trigger record and tells whether the
// text was well formed. The data dialog uses the verdict to refuse a bad pattern; the stream
// trigger's Register fills its record and sends bad items as 0.
//
// Every whole number is read in the unsigned-number notation (automation::ReadUnsigned). The
// readers keep no state, never throw and never allocate by the number of items beyond the pieces
// a caller asks for: at most 100 values are read, into a fixed value area.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core::triggers {

// The value area of a value list: 100 slots of 8 bytes, the layout of the stream trigger record
// from offset 36. Integer sizes fill the first 4 bytes of a slot (little-endian) and leave the
// other 4 as they were; "double" fills the slot with an IEEE 754 double.
inline constexpr size_t kValueSlotCount = 100;
inline constexpr size_t kValueSlotSize = 8;
using ValueArea = std::array<uint8_t, kValueSlotCount * kValueSlotSize>;

class GenerateData {
 public:
  GenerateData() = default;
  virtual ~GenerateData() = default;

  // An unsigned 32-bit number with nothing after it: true and the value; otherwise false and 0.
  // An empty text reads as 0; a text without any number (white space alone too) is refused.
  bool ParseWhole(std::string_view text, uint32_t* value) const;
  // The same reading, 0 when characters follow the number; never an error.
  uint32_t ParseWholeOrZero(std::string_view text) const;
  // As ParseWhole, but a number with bit 31 set (2^31 and above, and so every negative input) is
  // refused.
  bool ParseNonNegativeWhole(std::string_view text, uint32_t* value) const;
  // A decimal real (leading white space, sign, digits, fraction, exponent) with nothing after it.
  // A text that, trimmed, begins with "0" and a second digit is refused (false and 0.0). A real
  // beyond the range of a double reads as plus or minus infinity, one too small for it as zero.
  bool ParseReal(std::string_view text, double* value) const;

  // The non-empty pieces between commas, in order; white space is kept.
  void SplitList(std::string_view text, std::vector<std::string>* list) const;
  uint32_t CountItems(std::string_view text) const;

  // The pattern readers. Each returns the error flag: true when at least one item was bad.
  //
  // A value list under a size keyword ("byte", "word", "long", "8bit", "16bit", "32bit" or
  // "double", any case): the first 100 pieces go into the slots in order, a bad piece as 0 (it
  // still counts). Any other keyword reads nothing. No range check against the size is made.
  bool ParseValueList(uint32_t* count, ValueArea* values, std::string_view size,
                      std::string_view list) const;
  // "random": count,min,max with real bounds. Min above max is accepted.
  bool ParseRealRange(std::string_view text, uint32_t* count, double* min, double* max) const;
  // "random2": count,min,max with whole bounds below 2^31; min above max makes both 0.
  bool ParseWholeRange(std::string_view text, uint32_t* count, uint32_t* min, uint32_t* max) const;
};

}  // namespace core::triggers
