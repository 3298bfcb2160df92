// Building a trigger record allocates the record's block and nothing else: for every line of the
// benchmark project (every kind, every stream pattern), Register after the line was read makes
// exactly one allocation, of the 836 bytes of the record. A stray allocation fails here.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "bench/common/accepting_context.h"
#include "bench/common/counting_allocator.h"
#include "bench/common/project_lines.h"
#include "core/triggers/make_trigger.h"
#include "core/triggers/trigger.h"

namespace {

namespace ct = core::triggers;
using core::automation::HResult;

TEST(RecordAllocation, RegisterAllocatesOnlyTheRecord) {
  auto context = std::make_shared<bench::AcceptingContext>();
  for (const bench::ProjectLine& line : bench::ProjectLines()) {
    SCOPED_TRACE(line.text);
    const std::shared_ptr<ct::CTrigger> trigger = ct::MakeTrigger(line.kind, context);
    ASSERT_EQ(trigger->PutDefinition(line.text), core::automation::kOk);
    context->last_record_size = 0;

    HResult result = core::automation::kFail;
    long long held = 0;
    std::vector<size_t> sizes;
    {
      bench::AllocationScope scope;
      result = trigger->Register();
      held = scope.held();
      sizes = scope.sizes();  // the copy is made after the count is taken
    }
    ASSERT_EQ(result, core::automation::kOk);
    EXPECT_EQ(sizes, std::vector<size_t>{ct::kRecordSize});
    EXPECT_EQ(held, 0) << "the record must be released once defined";
    EXPECT_EQ(context->last_record_size, ct::kRecordSize);
  }
}

}  // namespace
