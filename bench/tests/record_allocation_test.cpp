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

// The counter itself must see what it is meant to see, or the test above proves nothing.
TEST(RecordAllocation, CounterSeesEveryAllocationAndRelease) {
  std::vector<size_t> sizes;
  long long held_both = 0;
  long long held_one = 0;
  {
    bench::AllocationScope scope;
    auto block = std::make_unique<char[]>(100);
    std::vector<int> numbers(10);
    held_both = scope.held();
    block.reset();
    held_one = scope.held();
    sizes = scope.sizes();
  }
  EXPECT_EQ(sizes, (std::vector<size_t>{100, 10 * sizeof(int)}));
  EXPECT_EQ(held_both, static_cast<long long>(100 + 10 * sizeof(int)));
  EXPECT_EQ(held_one, static_cast<long long>(10 * sizeof(int)));
}

}  // namespace
