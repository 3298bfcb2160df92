// The file stream trigger: a bare record, a name-only line, and no register without a name.
#include "core/triggers/file_stream_trigger.h"

#include <gtest/gtest.h>

#include "tests/core/fakes/fake_context.h"
#include "tests/core/fakes/fake_host.h"

namespace {

using core::automation::HResultText;
using core::automation::kFail;
using core::automation::kOk;
using core::triggers::CFileStreamTrigger;

TEST(FileStreamTriggerTest, Record) {
  struct Case {
    int32_t number;
    const char* bytes;
  };
  const Case cases[] = {
      {0, "00 00 00 01 64 00 11 00 00 00 00 00 00 00 00 00"},
      {255, "00 00 00 01 63 01 11 00 00 00 00 00 00 00 00 00"},
      {65500, "00 00 00 01 40 00 11 00 00 00 00 00 00 00 00 00"},  // the id keeps 16 bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    auto fake = std::make_shared<fakes::FakeContext>();
    CFileStreamTrigger trigger(fake);
    trigger.SetNumber(c.number);
    trigger.SetNameUnchecked("f");
    ASSERT_EQ(HResultText(trigger.Register()), HResultText(kOk));
    ASSERT_EQ(fake->records.size(), 1u);
    EXPECT_EQ(fakes::Hex(fake->records[0].data(), fake->records[0].size()), c.bytes);
  }
}

TEST(FileStreamTriggerTest, LineAndName) {
  auto fake = std::make_shared<fakes::FakeContext>();
  CFileStreamTrigger trigger(fake);
  EXPECT_EQ(trigger.GetDefinition(), "100,filestream,");
  EXPECT_EQ(HResultText(trigger.Register()), HResultText(kFail)) << "created without a name";
  EXPECT_TRUE(fake->calls.empty());

  // Any keyword, and fields after the name are ignored.
  struct Case {
    const char* line;
    const char* rendered;
    core::automation::HResult result;
  };
  const Case cases[] = {
      {"104,filestream,log", "104,filestream,log", kOk},
      {"104,FILESTREAM,log,more", "104,filestream,log", kOk},
      {"104,transfer,log", "104,filestream,log", kOk},
      {"104,filestream", "104,filestream,", kFail},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(HResultText(trigger.PutDefinition(c.line)), HResultText(c.result));
    EXPECT_EQ(trigger.GetDefinition(), c.rendered);
  }
}

}  // namespace
