// What the trigger tests share: a fake context with interrupt sources, symbols and trigger names in
// place, and records as one line of text each.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/automation/strings.h"
#include "core/triggers/connect_trigger.h"
#include "core/triggers/control_trigger.h"
#include "core/triggers/file_stream_trigger.h"
#include "core/triggers/interrupt_trigger.h"
#include "core/triggers/io_access_trigger.h"
#include "core/triggers/io_stream_trigger.h"
#include "core/triggers/make_trigger.h"
#include "core/triggers/message_trigger.h"
#include "core/triggers/sio_trigger.h"
#include "core/triggers/stream_trigger.h"
#include "core/triggers/transfer_trigger.h"
#include "tests/core/fakes/fake_context.h"
#include "tests/core/test_support.h"

namespace trigger_test {

using core::automation::HResult;
using core::automation::HResultText;
using core::automation::kFail;
using core::automation::kOk;
using core::automation::Variant;
using core::triggers::CTrigger;
using core::triggers::MakeTrigger;
using core::triggers::TriggerKind;
using test_support::Joined;
using Calls = std::vector<std::string>;

// Interrupt sources INT0, int1, TIMER, RX, TX (codes 0x10, 0x11, 0x8020, 0x21, 0x22); numerals and
// the symbols UART0, buf and MASK evaluate; triggers pump, valve and far are numbered 0, 155,
// 70000.
inline std::shared_ptr<fakes::FakeContext> MakeContext() {
  auto fake = std::make_shared<fakes::FakeContext>();
  // clang-format off
  fake->sources = core::triggers::InterruptSources(
      {{"INT0", 0x10, 0}, {"int1", 0x11, 0}, {"TIMER", 0x8020, 0}, {"RX", 0x21, 0}, {"TX", 0x22, 0}});
  // clang-format on
  fake->numerals = true;
  fake->symbols = {{"UART0", static_cast<int32_t>(0xFFFE0000u)}, {"buf", 0x1000}, {"MASK", 0xF0}};
  fake->numbers = {{"pump", 0}, {"valve", 155}, {"far", 70000}};
  return fake;
}

// A record as its size and the rows of 16 bytes that hold anything but zeros, so that a golden
// record lists only what the record sets.
inline std::string RecordText(const std::vector<uint8_t>& record) {
  std::string text = std::to_string(record.size()) + " bytes";
  for (size_t row = 0; row < record.size(); row += 16) {
    std::string bytes;
    bool set = false;
    for (size_t i = row; i < row + 16 && i < record.size(); ++i) {
      bytes += core::automation::Format(" %02X", record[i]);
      set = set || record[i] != 0;
    }
    if (set) text += core::automation::Format("; %04x:", static_cast<unsigned>(row)) + bytes;
  }
  return text;
}

}  // namespace trigger_test
