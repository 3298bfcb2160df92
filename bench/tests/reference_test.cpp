// The sscanf reference the benchmarks compare the core with must do the same job on the
// benchmark's lines: each line of the benchmark project is read and written back unchanged by
// the reference, by the core's line struct of its kind and by a trigger of its kind, and the
// lines hold every kind. (What a trigger makes of each field is the core's tests' to check, in
// its records against golden bytes.)
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "bench/common/accepting_context.h"
#include "bench/common/core_lines.h"
#include "bench/common/project_lines.h"
#include "bench/reference/definition_lines.h"
#include "core/automation/hresult.h"
#include "core/triggers/make_trigger.h"

namespace {

namespace ct = core::triggers;

TEST(ReferenceLines, ReadAndWriteTheBenchmarkLinesAsTheTriggersDo) {
  auto context = std::make_shared<bench::AcceptingContext>();
  bench::reference::DefinitionLines reference;
  bench::CoreLines core_lines;
  const std::vector<bench::ProjectLine> lines = bench::ProjectLines();
  ASSERT_EQ(lines.size(), 256u);
  std::set<ct::TriggerKind> kinds;
  for (const bench::ProjectLine& line : lines) {
    SCOPED_TRACE(line.text);
    kinds.insert(line.kind);
    const std::shared_ptr<ct::CTrigger> trigger = ct::MakeTrigger(line.kind, context);
    ASSERT_EQ(trigger->PutDefinition(line.text), core::automation::kOk);
    EXPECT_EQ(trigger->GetDefinition(), line.text);
    ASSERT_TRUE(reference.Parse(line.kind, line.text.c_str()));
    EXPECT_EQ(reference.Render(line.kind), line.text);
    ASSERT_TRUE(core_lines.Parse(line.kind, line.text));
    EXPECT_EQ(core_lines.Render(line.kind), line.text);
  }
  EXPECT_EQ(kinds.size(), 10u) << "the benchmark lines must hold every kind";
}

}  // namespace
