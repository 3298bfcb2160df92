// The extended interrupt source table.
#include "project/interrupt_source_table.h"

#include "core/automation/bytes.h"

namespace project {

std::vector<uint8_t> SourceTableBytes(const std::vector<InterruptSource>& sources) {
  const size_t count = sources.size() < 0xFFFF ? sources.size() : 0xFFFF;
  core::automation::ByteWriter table(4 + count * kSourceEntrySize);
  table.U16(0, kExtendedSourceTable);
  table.U16(2, static_cast<uint16_t>(count));
  for (size_t i = 0; i < count; ++i) {
    const size_t at = 4 + i * kSourceEntrySize;
    table.Text(at, sources[i].name, kSourceNameWidth);
    table.U16(at + kSourceNameWidth, sources[i].code);
    table.U16(at + kSourceNameWidth + 2, sources[i].value);
  }
  return table.Take();
}

}  // namespace project
