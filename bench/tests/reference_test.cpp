// The sscanf reference the benchmarks compare the core with must do the same job on the
// benchmark's lines: read the same fields and write the same lines. Each line of the benchmark
// project is read by the core's line struct of its kind and by the reference, whose fields must
// agree and which must both write it back unchanged; a trigger of its kind must write it back
// unchanged too. (What a trigger makes of each field is the core's tests' to check, in its
// records against golden bytes.)
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "bench/common/accepting_context.h"
#include "bench/common/core_lines.h"
#include "bench/common/project_lines.h"
#include "bench/reference/definition_lines.h"
#include "core/automation/hresult.h"
#include "core/triggers/make_trigger.h"

namespace {

namespace ct = core::triggers;
using bench::reference::DefinitionLines;
using ct::TriggerKind;

// One field as "name=value", so that both sides' fields compare as lists.
template <typename Value>
std::string Field(const char* name, const Value& value) {
  if constexpr (std::is_convertible_v<const Value&, std::string_view>) {
    return std::string(name) + "=" + std::string(std::string_view(value));
  } else {
    return std::string(name) + "=" + std::to_string(value);
  }
}

// The members of a connection's line: the reference keeps them apart, the core's line in one
// text that it splits.
std::vector<std::string> Members(const DefinitionLines& r) {
  return std::vector<std::string>(r.connect.members, r.connect.members + r.connect.member_count);
}
std::vector<std::string> Members(const bench::CoreLines& c) {
  std::vector<std::string> members;
  const size_t count = ct::ConnectLine::Split(
      c.connect.members, [&](size_t, std::string_view member) { members.emplace_back(member); });
  EXPECT_EQ(count, static_cast<size_t>(c.connect_member_count));
  return members;
}

// The fields of the reference's or the core's line struct of the kind, as the reference names
// them: both hold one struct a kind under the same names.
template <typename Lines>
std::vector<std::string> LineFields(TriggerKind kind, const Lines& lines) {
  switch (kind) {
    case TriggerKind::Interrupt: {
      const auto& l = lines.interrupt;
      return {Field("id", l.id),
              Field("name", l.name),
              Field("raise", std::string_view(l.keyword) == "interrupt" ? 1 : 0),
              Field("source", l.source),
              Field("cycle", l.cycle),
              Field("wait", l.wait)};
    }
    case TriggerKind::IOAccess: {
      const auto& l = lines.io_access;
      return {Field("id", l.id), Field("name", l.name), Field("cycle", l.cycle),
              Field("wait", l.wait)};
    }
    case TriggerKind::IOStream: {
      const auto& l = lines.io_stream;
      return {Field("id", l.id), Field("name", l.name), Field("destination", l.destination)};
    }
    case TriggerKind::Transfer: {
      const auto& l = lines.transfer;
      return {Field("id", l.id),
              Field("name", l.name),
              Field("count", l.count),
              Field("size", l.size),
              Field("source", l.source),
              Field("src_mode", l.src_mode),
              Field("destination", l.destination),
              Field("dst_mode", l.dst_mode),
              Field("cycle", l.cycle),
              Field("wait", l.wait),
              Field("src_mode_value", static_cast<int16_t>(l.src_mode_value)),
              Field("dst_mode_value", static_cast<int16_t>(l.dst_mode_value))};
    }
    case TriggerKind::Stream: {
      const auto& l = lines.stream;
      return {Field("id", l.id),
              Field("name", l.name),
              Field("kind", l.kind),
              Field("destination", l.destination),
              Field("size", l.size),
              Field("repeat_mode", l.repeat_mode),
              Field("generate_mode", l.generate_mode),
              Field("data_list", l.data_list),
              Field("stream_source", l.stream_source),
              Field("count", static_cast<int32_t>(l.count)),
              Field("cycle", l.cycle),
              Field("wait", l.wait),
              Field("mask", l.mask)};
    }
    case TriggerKind::Connect: {
      std::vector<std::string> f = {Field("id", lines.connect.id),
                                    Field("name", lines.connect.name)};
      for (const std::string& member : Members(lines)) f.push_back(Field("member", member));
      return f;
    }
    case TriggerKind::Control: {
      const auto& l = lines.control;
      return {Field("id", l.id), Field("name", l.name), Field("action", l.action),
              Field("target", l.target)};
    }
    case TriggerKind::Message: {
      const auto& l = lines.message;
      return {Field("id", l.id),
              Field("name", l.name),
              Field("option", std::string_view(l.option) == "true" ? 1 : 0),
              Field("destination", l.destination),
              Field("source", l.source),
              Field("wait", l.wait),
              Field("cycle", l.cycle)};
    }
    case TriggerKind::Sio: {
      const auto& l = lines.sio;
      return {Field("id", l.id),
              Field("name", l.name),
              Field("source", l.source),
              Field("dst_mode", l.dst_mode),
              Field("src_mode", l.src_mode),
              Field("destination", l.destination)};
    }
    case TriggerKind::FileStream:
      return {Field("id", lines.file_stream.id), Field("name", lines.file_stream.name)};
  }
  return {};
}

TEST(ReferenceLines, ReadsAndWritesTheBenchmarkLinesAsTheTriggersDo) {
  auto context = std::make_shared<bench::AcceptingContext>();
  DefinitionLines reference;
  bench::CoreLines core_lines;
  const std::vector<bench::ProjectLine> lines = bench::ProjectLines();
  ASSERT_EQ(lines.size(), 256u);
  std::set<TriggerKind> kinds;
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
    EXPECT_EQ(LineFields(line.kind, core_lines), LineFields(line.kind, reference));
  }
  EXPECT_EQ(kinds.size(), 10u) << "the benchmark lines must hold every kind";
}

}  // namespace
