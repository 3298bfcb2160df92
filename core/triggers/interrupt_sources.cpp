// The interrupt source table.
#include "core/triggers/interrupt_sources.h"

#include <cstring>

#include "core/automation/bytes.h"
#include "core/automation/numbers.h"
#include "core/automation/strings.h"

namespace core::triggers {
namespace {

// A text reads as a number when its leading decimal integer is non-zero or it is exactly "0".
bool ReadsAsNumber(const std::string& text, int32_t* value) {
  *value = automation::LeadingDecimal(text);
  return *value != 0 || text == "0";
}

std::string FixedName(const uint8_t* field, size_t width) {
  const void* nul = std::memchr(field, 0, width);
  const size_t length = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - field) : width;
  return std::string(reinterpret_cast<const char*>(field), length);
}

}  // namespace

size_t SourceTableSize(const uint8_t* table) {
  const uint16_t n = automation::ReadU16(table);
  if (n != 0xFFFF) return 2 + 10 * static_cast<size_t>(n);
  return 4 + 20 * static_cast<size_t>(automation::ReadU16(table + 2));
}

InterruptSources InterruptSources::FromBuffer(const uint8_t* buffer, size_t size) {
  std::vector<InterruptSource> sources;
  if (buffer == nullptr || size < 2) return InterruptSources();
  const uint16_t n = automation::ReadU16(buffer);
  const bool extended = n == 0xFFFF;
  if (extended && size < 4) return InterruptSources();
  const size_t count = extended ? automation::ReadU16(buffer + 2) : n;
  const size_t name_width = extended ? 16 : 8;
  const size_t entry_size = extended ? 20 : 10;
  const uint8_t* entry = buffer + (extended ? 4 : 2);
  const uint8_t* end = buffer + size;
  for (size_t i = 0; i < count && static_cast<size_t>(end - entry) >= entry_size; ++i) {
    InterruptSource source;
    source.name = FixedName(entry, name_width);
    source.code = automation::ReadU16(entry + name_width);
    if (extended) source.value = automation::ReadU16(entry + name_width + 2);
    sources.push_back(std::move(source));
    entry += entry_size;
  }
  return InterruptSources(std::move(sources));
}

automation::HResult InterruptSources::Check(const std::string& text) const {
  int32_t value = 0;
  if (ReadsAsNumber(text, &value)) return value < Count() ? automation::kOk : automation::kFail;
  for (const InterruptSource& source : sources_) {
    if (automation::EqualsIgnoreCase(source.name, text)) return automation::kOk;
  }
  return automation::kFail;
}

void InterruptSources::Resolve(const std::string& text, int32_t* code) const {
  int32_t value = 0;
  if (ReadsAsNumber(text, &value)) {
    *code = value < Count() ? value : -1;
    return;
  }
  for (const InterruptSource& source : sources_) {
    if (automation::EqualsIgnoreCase(source.name, text)) {
      *code = source.code;
      return;
    }
  }
}

}  // namespace core::triggers
