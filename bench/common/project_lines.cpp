// The benchmarks' project lines.
#include "bench/common/project_lines.h"

#include "core/automation/strings.h"

namespace bench {
namespace {

using core::automation::Format;
using core::triggers::TriggerKind;

// The name every line gives its trigger: the stem of the kind, then the index of the trigger.
std::string NameOf(int index) {
  static const char* const kStems[] = {"irq",   "poll", "port",    "move", "pattern",
                                       "group", "note", "control", "uart", "file"};
  return Format("%s%d", kStems[index % 10], index);
}

std::string ValueList(int index) {
  std::string list;
  for (int j = 0; j <= index % 24; ++j)
    list += Format("%s0x%02x", j ? "," : "", (index * 7 + j) & 0xFF);
  return list;
}

ProjectLine LineOf(int index) {
  const int id = 100 + index;
  const std::string name = NameOf(index);
  const std::vector<std::string>& sources = InterruptSourceNames();
  const char* source = sources[static_cast<size_t>(index) % sources.size()].c_str();
  static const char* const kSizes[] = {"8BIT", "16BIT", "32BIT", "8BIT*", "16BIT*", "32BIT*"};
  static const char* const kModes[] = {"FIX", "INCREMENT", "DECREMENT"};
  static const char* const kRepeats[] = {"SINGLE", "REPEAT", "CONST"};
  switch (index % 10) {
    case 0:
      if (index % 20 == 0) {
        return {TriggerKind::Interrupt, Format("%d,interrupt,%s,%s,%d,%d", id, name.c_str(), source,
                                               1000 + index, index % 50)};
      }
      return {TriggerKind::Interrupt,
              Format("%d,clearInterrupt,%s,%s,0,0", id, name.c_str(), source)};
    case 1:
      return {TriggerKind::IOAccess,
              Format("%d,ioaccess,%s,%d,%d", id, name.c_str(), 50 + index, index % 7)};
    case 2:
      // Ports above 0x7FFF are written negative.
      return {TriggerKind::IOStream,
              Format("%d,iostream,%s,%d", id, name.c_str(),
                     static_cast<int16_t>(static_cast<uint16_t>(0x20 + index * 257)))};
    case 3:
      return {TriggerKind::Transfer,
              Format("%d,transfer,%s,%d,%s,0x%08x,%s,0x%08x,%s,%d,%d,%d,%d", id, name.c_str(),
                     4 + index, kSizes[index % 6], 0x200 + index * 16, kModes[index % 3],
                     0x1000 + index * 16, kModes[(index + 1) % 3], 100 + index, index % 9,
                     index % 32, (index + 5) % 32)};
    case 4: {
      const char* repeat = kRepeats[index % 3];
      const unsigned port = 0x20 + static_cast<unsigned>(index % 64);
      switch ((index / 10) % 4) {
        case 0:
          return {TriggerKind::Stream,
                  Format("%d,data,%s,0x%04x,8BIT,%s,DEFAULT,%s,),%d,%d,0x%08x", id, name.c_str(),
                         port, repeat, ValueList(index).c_str(), 200 + index, index % 20, 0xFF)};
        case 1:
          return {TriggerKind::Stream,
                  Format("%d,data,%s,0x%04x,DOUBLE,%s,RANDOM,%d,1.5,2.5e3,),%d,%d,0x%08x", id,
                         name.c_str(), port, repeat, 16 + index % 50, 200 + index, index % 20, 0)};
        case 2:
          return {
              TriggerKind::Stream,
              Format("%d,data,%s,0x%04x,16BIT,%s,RANDOM2,%d,0,1023,),%d,%d,0x%08x", id,
                     name.c_str(), port, repeat, 32 + index % 50, 10 + index, index % 4, 0x3FF)};
        default:
          return {TriggerKind::Stream, Format("%d,stream,%s,0x%04x,32BIT,%s,0x%04x,%d,%d,%d,0x%08x",
                                              id, name.c_str(), port, repeat, 0x400 + index * 8,
                                              16 + index % 32, 50 + index, index % 5, 0xFFFF)};
      }
    }
    case 5:
      return {TriggerKind::Connect,
              Format("%d,connect,%s,%s,%s,%s", id, name.c_str(), NameOf(index - 5).c_str(),
                     NameOf(index - 4).c_str(), NameOf(index - 1).c_str())};
    case 6:
      return {TriggerKind::Message, Format("%d,message,%s,%s,VireoTrigger%d,%d,%d,%d", id,
                                           name.c_str(), index % 12 == 6 ? "true" : "false",
                                           index % 4, index % 10, index % 3, 100 + index)};
    case 7: {
      static const char* const kActions[] = {"STOP", "RESET", "RESTART"};
      return {TriggerKind::Control, Format("%d,control,%s,%s,%s", id, name.c_str(),
                                           kActions[index % 3], NameOf(index - 3).c_str())};
    }
    case 8:
      return {TriggerKind::Sio,
              Format("%d,sio,%s,0x%08x,%s,%s,UART%d", id, name.c_str(), 0x60 + index % 4, source,
                     sources[static_cast<size_t>(index + 1) % sources.size()].c_str(), index % 4)};
    default:
      return {TriggerKind::FileStream, Format("%d,filestream,%s", id, name.c_str())};
  }
}

}  // namespace

const std::vector<std::string>& InterruptSourceNames() {
  static const std::vector<std::string> names = {"NMI",      "TIMER0_OVF", "TIMER0_CMP",
                                                 "UART0_RX", "UART0_TX",   "ADC_DONE"};
  return names;
}

std::vector<ProjectLine> ProjectLines() {
  std::vector<ProjectLine> lines;
  lines.reserve(kProjectLineCount);
  for (int index = 0; index < kProjectLineCount; ++index) lines.push_back(LineOf(index));
  return lines;
}

}  // namespace bench
