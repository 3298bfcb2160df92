// The in-memory host.
#include "bench/common/memory_host.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/automation/bytes.h"
#include "core/automation/numbers.h"
#include "core/registry/definition_storage.h"

namespace bench {
namespace {

using core::automation::HResult;
using core::automation::Variant;
namespace bridge = core::bridge;

class MemoryManager : public bridge::ManagerPort {
 public:
  explicit MemoryManager(Settings& settings) : settings_(settings) {}
  HResult ReadProfileInt(const std::string&, const std::string& section, const std::string& key,
                         int32_t default_value, int32_t* value) override {
    const std::string* text = Find(section, key);
    *value = text ? std::atoi(text->c_str()) : default_value;
    return 0;
  }
  HResult WriteProfileInt(const std::string&, const std::string& section, const std::string& key,
                          int32_t value) override {
    settings_[section][key] = std::to_string(value);
    return 0;
  }
  HResult ReadProfileString(const std::string&, const std::string& section, const std::string& key,
                            const std::string& default_value, std::string* value) override {
    const std::string* text = Find(section, key);
    *value = text ? *text : default_value;
    return 0;
  }
  HResult WriteProfileString(const std::string&, const std::string& section, const std::string& key,
                             const std::string& value) override {
    settings_[section][key] = value;
    return 0;
  }
  HResult MarkProjectModified(int32_t) override { return 0; }

 private:
  const std::string* Find(const std::string& section, const std::string& key) const {
    const auto in = settings_.find(section);
    if (in == settings_.end()) return nullptr;
    const auto at = in->second.find(key);
    return at == in->second.end() ? nullptr : &at->second;
  }
  Settings& settings_;
};

// The extended form of the source table: 0xFFFF, the count, then 20-byte entries of a 16-byte
// name, the code and a further value.
void* SourceTable() {
  const std::vector<std::string>& names = InterruptSourceNames();
  core::automation::ByteWriter table(4 + 20 * names.size());
  table.U16(0, 0xFFFF);
  table.U16(2, static_cast<uint16_t>(names.size()));
  for (size_t i = 0; i < names.size(); ++i) {
    table.Text(4 + 20 * i, names[i], 16);
    table.U16(4 + 20 * i + 16, static_cast<uint16_t>(0x10 + i));
  }
  void* copy = std::malloc(table.bytes().size());
  std::memcpy(copy, table.bytes().data(), table.bytes().size());
  return copy;
}

class AcceptingSimulator : public bridge::TargetCommandPort {
 public:
  HResult Command(const std::string&, int32_t, const Variant& in, Variant* reply) override {
    const auto* block = static_cast<const uint8_t*>(in.Pointer());
    if (core::automation::ReadU16(block) == 8 &&
        core::automation::ReadU16(block + 2) == bridge::kSourceTableCode) {
      // The reply block: the data pointer at byte 4.
      auto* answer = static_cast<uint8_t*>(std::calloc(16, 1));
      void* data = SourceTable();
      std::memcpy(answer + 4, &data, sizeof data);
      *reply = Variant::ByRef(answer);
    }
    return 0;
  }
};

class AcceptingEvents : public bridge::EventCommandPort {
 public:
  HResult AddName(int32_t, const std::string&) override { return 0; }
  HResult RemoveName(int32_t) override { return 0; }
};

class NumeralEvaluation : public bridge::EvaluationPort {
 public:
  HResult Evaluate(const std::string& expression, Variant* result) override {
    const auto read = core::automation::ReadUnsigned(expression);
    if (read.consumed == 0) return core::automation::kFail;
    *result = Variant::UI4(read.value);
    return 0;
  }
};

class Service : public bridge::HostObject {
 public:
  Service(Settings& settings, std::string name) : settings_(settings), name_(std::move(name)) {}
  HResult GetIDsOfNames(const std::string&, uint32_t, int32_t* dispid) override {
    *dispid = 1;
    return 0;
  }
  HResult Invoke(int32_t, uint32_t, uint16_t, const std::vector<Variant>&, Variant*) override {
    return 0;
  }
  std::unique_ptr<bridge::ManagerPort> QueryManager() override {
    return Is(bridge::kManagerService) ? std::make_unique<MemoryManager>(settings_) : nullptr;
  }
  std::unique_ptr<bridge::TargetCommandPort> QueryTargetCommand() override {
    return Is(bridge::kTargetCommandService) ? std::make_unique<AcceptingSimulator>() : nullptr;
  }
  std::unique_ptr<bridge::EventCommandPort> QueryEventCommand() override {
    return Is(bridge::kEventCommandService) ? std::make_unique<AcceptingEvents>() : nullptr;
  }
  std::unique_ptr<bridge::EvaluationPort> QueryEvaluation() override {
    return Is(bridge::kEvaluationService) ? std::make_unique<NumeralEvaluation>() : nullptr;
  }

 private:
  bool Is(const char* service) const { return name_ == service; }
  Settings& settings_;
  std::string name_;
};

class Application : public bridge::HostApplication {
 public:
  explicit Application(Settings& settings) : settings_(settings) {}
  std::unique_ptr<bridge::HostObject> GetService(const std::string& name) override {
    return std::make_unique<Service>(settings_, name);
  }

 private:
  Settings& settings_;
};

}  // namespace

MemoryHost::MemoryHost() { host.SetApplication(std::make_shared<Application>(settings)); }

void MemoryHost::StoreLines(const std::vector<ProjectLine>& lines) {
  std::map<std::string, std::string>& section = settings[core::registry::kProfileSection];
  section.clear();
  section[core::registry::kLineCountKey] = std::to_string(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) section[std::to_string(i)] = lines[i].text;
}

}  // namespace bench
