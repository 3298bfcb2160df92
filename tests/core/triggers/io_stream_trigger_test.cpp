// The I/O stream trigger: how a line's destination text becomes 16 bits, how it is written back,
// and how it reaches the record.
#include "core/triggers/io_stream_trigger.h"

#include <gtest/gtest.h>

#include "tests/core/fakes/fake_context.h"
#include "tests/core/fakes/fake_host.h"

namespace {

using core::automation::HResultText;
using core::automation::kOk;
using core::triggers::CIOStreamTrigger;

TEST(IOStreamTriggerTest, DestinationFromTheLine) {
  struct Case {
    const char* line;
    int16_t destination;
    const char* rendered;
    const char* record_tail;  // bytes 8..19
  };
  const Case cases[] = {
      {"105,iostream,p,8000", 8000, "105,iostream,p,8000", "00 00 00 00 00 00 00 00 40 1F 00 00"},
      {"105,iostream,p,0x1F40", 8000, "105,iostream,p,8000", "00 00 00 00 00 00 00 00 40 1F 00 00"},
      {"105,IOStream,p,0x8000", -32768, "105,iostream,p,-32768",
       "00 00 00 00 00 00 00 00 00 80 FF FF"},
      {"105,iostream,p,65535", -1, "105,iostream,p,-1", "00 00 00 00 00 00 00 00 FF FF FF FF"},
      {"105,iostream,p,0x12345", 0x2345, "105,iostream,p,9029",
       "00 00 00 00 00 00 00 00 45 23 00 00"},
      {"105,iostream,p,010", 8, "105,iostream,p,8", "00 00 00 00 00 00 00 00 08 00 00 00"},
      {"105,iostream,p,-2", -2, "105,iostream,p,-2", "00 00 00 00 00 00 00 00 FE FF FF FF"},
      // strtol saturates at 0x7FFFFFFF, whose low 16 bits are 0xFFFF
      {"105,iostream,p,99999999999", -1, "105,iostream,p,-1",
       "00 00 00 00 00 00 00 00 FF FF FF FF"},
      {"105,iostream,p,port", 0, "105,iostream,p,0", "00 00 00 00 00 00 00 00 00 00 00 00"},
      {"105,iostream,p", 0, "105,iostream,p,0", "00 00 00 00 00 00 00 00 00 00 00 00"},
      {"105,iostream,p,12,34,56", 12, "105,iostream,p,12", "00 00 00 00 00 00 00 00 0C 00 00 00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    auto fake = std::make_shared<fakes::FakeContext>();
    CIOStreamTrigger trigger(fake);
    EXPECT_EQ(HResultText(trigger.PutDefinition(c.line)), HResultText(kOk));
    EXPECT_EQ(trigger.Destination(), c.destination);
    EXPECT_EQ(trigger.GetDefinition(), c.rendered);
    ASSERT_EQ(fake->records.size(), 1u);
    EXPECT_EQ(fakes::Hex(fake->records[0].data(), fake->records[0].size()),
              std::string("00 00 00 01 69 00 0C 00 ") + c.record_tail);

    CIOStreamTrigger copy(fake);  // what was written reads back to the same 16 bits
    EXPECT_EQ(copy.PutDefinition(trigger.GetDefinition()), kOk);
    EXPECT_EQ(copy.Destination(), c.destination);
  }
}

TEST(IOStreamTriggerTest, NewObjectAndPut) {
  auto fake = std::make_shared<fakes::FakeContext>();
  CIOStreamTrigger trigger(fake);
  EXPECT_EQ(trigger.GetDefinition(), "100,iostream,trg_port,8000");
  EXPECT_EQ(trigger.GetModified(), 0);
  EXPECT_EQ(trigger.PutDestination(-5), kOk);
  EXPECT_NE(trigger.GetModified(), 0);
  trigger.SetNameUnchecked("");
  EXPECT_EQ(HResultText(trigger.Register()), HResultText(core::automation::kFail));
  EXPECT_TRUE(fake->calls.empty());
}

}  // namespace
