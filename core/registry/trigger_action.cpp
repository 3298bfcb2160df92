// The registry: slots, creation, deletion, look-up, commands, Active flags and interrupt sources.
#include "core/registry/trigger_action.h"

#include <cstdlib>
#include <optional>

#include "core/automation/bytes.h"
#include "core/rows/kind_infos.h"
#include "core/triggers/make_trigger.h"
#include "core/triggers/numbering.h"

namespace core::registry {

using automation::kFail;
using automation::kOk;
using triggers::IdOf;
using triggers::IsValidNumber;

// The context every trigger of this registry shares. It outlives the registry when a trigger
// does; Detach then cuts the registry out, and its checks fail as a DetachedContext's do.
class CTriggerAction::SharedContext final : public triggers::TriggerContext {
 public:
  SharedContext(CTriggerAction* registry, bridge::CTriggerCommand& bridge,
                const bridge::HostAccess& host, WindowHooks hooks)
      : registry_(registry), bridge_(bridge), host_(host), hooks_(std::move(hooks)) {}

  void Detach() { registry_ = nullptr; }

  // While the registry loads a project line, what its trigger logs or notes is a problem of that
  // line. It goes into the report of the load, and its log line names the key of the line.
  // Outside a load, notes are dropped (the results say that something failed) and log lines go
  // out as they are.
  void BeginLine(LoadReport& report) {
    report_ = &report;
    not_registered_noted_ = false;
  }
  void EndLine() { report_ = nullptr; }
  bool NotRegisteredNoted() const { return not_registered_noted_; }

  HResult CheckNameUniqueExcept(const std::string& name, int32_t number) override {
    return registry_ ? registry_->CheckNameUniqueExcept(name, number) : kFail;
  }
  HResult CheckInterruptSource(const std::string& source) override {
    return registry_ ? registry_->CheckInterruptSource(source) : kFail;
  }
  HResult ResolveInterruptSource(const std::string& source, int32_t* code) override {
    return registry_ ? registry_->ResolveInterruptSource(source, code) : kOk;
  }
  int32_t FindNumberByName(const std::string& name) override {
    return registry_ ? registry_->FindNumberByName(name) : -1;
  }
  void NameChanged(const CTrigger& trigger) override {
    if (registry_) registry_->NoteRename(trigger);
  }

  int DefineTrigger(int32_t id, const std::string& name, const std::vector<uint8_t>& record,
                    bool in_simulator) override {
    return bridge_.DefineTrigger(id, name, record, in_simulator);
  }
  int SetEventName(int32_t id, const std::string& name, const std::string* previous) override {
    return bridge_.SetEventName(id, name, previous);
  }
  HResult Evaluate(const std::string& expression, int32_t* value) override {
    return bridge_.Evaluate(expression, value);
  }
  HResult WriteLog(const std::string& text) override {
    if (report_ == nullptr) return host_.WriteLog(text);
    return report_->Add(LineState::Loaded, "", text);
  }
  HResult WriteFieldLog(const std::string& field, const std::string& text) override {
    if (report_ == nullptr) return host_.WriteLog(text);
    return report_->Add(LineState::Loaded, field, text);
  }
  void NoteProblem(Problem problem, const std::string& field, const std::string& text) override {
    if (report_ == nullptr) return;
    LineState state = LineState::Loaded;
    if (problem == Problem::NotRegistered) {
      state = LineState::NotRegistered;
      not_registered_noted_ = true;
    }
    report_->Add(state, field, text);
  }

  void RefreshTriggerWindow() override {
    if (hooks_.refresh_trigger_window) hooks_.refresh_trigger_window();
  }
  uint32_t RegisterMessageName(const std::string& name) override {
    return hooks_.register_window_message ? hooks_.register_window_message(name)
                                          : triggers::PortableWindowMessage(name);
  }

 private:
  CTriggerAction* registry_;
  bridge::CTriggerCommand& bridge_;
  const bridge::HostAccess& host_;
  WindowHooks hooks_;
  LoadReport* report_ = nullptr;
  bool not_registered_noted_ = false;
};

// The registry's slots as the numbering rules see them.
class CTriggerAction::Slots final : public triggers::SlotView {
 public:
  explicit Slots(const CTriggerAction& registry) : registry_(registry) {}
  bool Occupied(int32_t slot) const override { return registry_.slots_[slot] != nullptr; }
  int32_t NumberAt(int32_t slot) const override {
    return registry_.slots_[slot]->GetTrigger()->Number();
  }
  std::string NameAt(int32_t slot) const override {
    return registry_.slots_[slot]->GetTrigger()->Name();
  }

 private:
  const CTriggerAction& registry_;
};

CTriggerAction::CTriggerAction(bridge::CTriggerCommand& bridge, const bridge::HostAccess& host,
                               WindowHooks hooks)
    : bridge_(bridge),
      host_(host),
      context_(std::make_shared<SharedContext>(this, bridge, host, hooks)),
      names_(std::move(hooks.name_key), [this](int32_t slot) -> const std::string* {
        return slots_[slot] ? &slots_[slot]->GetTrigger()->Name() : nullptr;
      }) {}

CTriggerAction::~CTriggerAction() {
  context_->Detach();
  for (std::unique_ptr<rows::TriggerInfo>& slot : slots_) slot.reset();
}

std::shared_ptr<triggers::TriggerContext> CTriggerAction::Context() const { return context_; }

CTriggerAction::LineScope::LineScope(CTriggerAction& registry, LoadReport& report,
                                     bool* reason_given)
    : context_(*registry.context_), reason_given_(reason_given) {
  context_.BeginLine(report);
}

CTriggerAction::LineScope::~LineScope() {
  context_.EndLine();
  *reason_given_ = context_.NotRegisteredNoted();
}

// ---- Creation ----

HResult CTriggerAction::Install(TriggerKind kind, int32_t slot,
                                std::shared_ptr<CTrigger>* trigger) {
  if (!IsValidNumber(slot) || slots_[slot]) return kFail;
  std::shared_ptr<CTrigger> made = triggers::MakeTrigger(kind, context_);
  if (!made) return kFail;
  // Most stems are free (loaded triggers are renamed by their lines at once); the index settles
  // that before the general search, which a load would otherwise run 256 times.
  const char* const stem = triggers::InfoOf(kind).stem;
  const bool stem_taken = names_.FindExact(stem) >= 0;
  const std::string name = stem_taken ? triggers::MakeUniqueName(Slots(*this), stem) : stem;
  made->SetNumber(slot);
  slots_[slot] = rows::MakeTriggerInfo(made, this);
  names_.Changed(slot);
  made->SetNameUnchecked(name);
  ++count_;
  if (trigger) *trigger = std::move(made);
  return kOk;
}

HResult CTriggerAction::CreateTrigger(TriggerKind kind, std::shared_ptr<CTrigger>* trigger) {
  if (trigger) trigger->reset();
  const int32_t slot = triggers::AllocateNumber(Slots(*this), lowest_free_);
  if (slot < 0) return kFail;
  lowest_free_ = slot + 1;  // the slot is taken now (or Install failed, and it is not)
  const HResult hr = Install(kind, slot, trigger);
  if (automation::Failed(hr)) lowest_free_ = slot;
  return hr;
}

template <typename Kind>
HResult CTriggerAction::CreateTyped(TriggerKind kind, std::shared_ptr<Kind>* trigger) {
  std::shared_ptr<CTrigger> made;
  const HResult hr = CreateTrigger(kind, &made);
  if (trigger) *trigger = std::static_pointer_cast<Kind>(std::move(made));
  return hr;
}

HResult CTriggerAction::CreateInterruptTrigger(
    std::shared_ptr<triggers::CInterruptTrigger>* trigger) {
  return CreateTyped(TriggerKind::Interrupt, trigger);
}
HResult CTriggerAction::CreateTransferTrigger(
    std::shared_ptr<triggers::CTransferTrigger>* trigger) {
  return CreateTyped(TriggerKind::Transfer, trigger);
}
HResult CTriggerAction::CreateStreamTrigger(std::shared_ptr<triggers::CStreamTrigger>* trigger) {
  return CreateTyped(TriggerKind::Stream, trigger);
}
HResult CTriggerAction::CreateIOStreamTrigger(
    std::shared_ptr<triggers::CIOStreamTrigger>* trigger) {
  return CreateTyped(TriggerKind::IOStream, trigger);
}
HResult CTriggerAction::CreateConnectTrigger(std::shared_ptr<triggers::CConnectTrigger>* trigger) {
  return CreateTyped(TriggerKind::Connect, trigger);
}
HResult CTriggerAction::CreateControlTrigger(std::shared_ptr<triggers::CControlTrigger>* trigger) {
  return CreateTyped(TriggerKind::Control, trigger);
}
HResult CTriggerAction::CreateMessageTrigger(std::shared_ptr<triggers::CMessageTrigger>* trigger) {
  return CreateTyped(TriggerKind::Message, trigger);
}
HResult CTriggerAction::CreateSioTrigger(std::shared_ptr<triggers::CSioTrigger>* trigger) {
  return CreateTyped(TriggerKind::Sio, trigger);
}
HResult CTriggerAction::CreateFileStreamTrigger(
    std::shared_ptr<triggers::CFileStreamTrigger>* trigger) {
  return CreateTyped(TriggerKind::FileStream, trigger);
}
HResult CTriggerAction::CreateIOAccessTrigger(
    std::shared_ptr<triggers::CIOAccessTrigger>* trigger) {
  return CreateTyped(TriggerKind::IOAccess, trigger);
}

HResult CTriggerAction::CreateTriggerByKeyword(const std::string& keyword, Variant* adapter) {
  *adapter = Variant();
  const std::optional<TriggerKind> kind = triggers::KindFromKeyword(keyword);
  if (!kind) return kFail;
  std::shared_ptr<CTrigger> trigger;
  if (automation::Failed(CreateTrigger(*kind, &trigger))) return kFail;
  *adapter = GetAdapterByNumber(trigger->Number());
  return kOk;
}

// ---- Deletion ----

HResult CTriggerAction::DeleteTrigger(const std::string& name) {
  return DeleteSlot(FindNumberByName(name));
}

HResult CTriggerAction::DeleteSlot(int32_t number) {
  rows::TriggerInfo* adapter = AdapterAt(number);
  if (adapter == nullptr) return kFail;
  if (adapter->IsInSimulator() &&
      bridge_.DeleteTriggerCommand(IdOf(number), adapter->GetNameText()) != 0)
    return kFail;
  slots_[number].reset();
  names_.Changed(number);
  if (count_ > 0) --count_;
  if (number < lowest_free_) lowest_free_ = number;
  // Last, with the slots consistent: the window's refresh may come back into the registry.
  context_->RefreshTriggerWindow();
  return kOk;
}

HResult CTriggerAction::DeleteAllTriggers() {
  for (int32_t slot = 0; slot < triggers::kSlotCount; ++slot) {
    if (!slots_[slot]) continue;
    const std::string name = slots_[slot]->GetNameText();
    const HResult hr = DeleteTrigger(name);
    if (automation::Failed(hr)) return hr;
  }
  return kOk;
}

// ---- Simulator commands ----

HResult CTriggerAction::SendCommand(uint16_t code, const std::string& name) {
  const int32_t number = FindNumberByName(name);
  if (number < 0) return kFail;
  return bridge_.SendTriggerCommand(code, IdOf(number)) == 0 ? kOk : kFail;
}

HResult CTriggerAction::SendCommandAll(uint16_t code) {
  return bridge_.SendTriggerCommand(code, triggers::kAllTriggers) == 0 ? kOk : kFail;
}

HResult CTriggerAction::Command0102(const std::string& name) {
  return SendCommand(bridge::kActivateCode, name);
}
HResult CTriggerAction::Command0103(const std::string& name) {
  return SendCommand(bridge::kDeactivateCode, name);
}
HResult CTriggerAction::Command0105(const std::string& name) {
  return SendCommand(bridge::kFireCode, name);
}
HResult CTriggerAction::Command0106(const std::string& name) {
  return SendCommand(bridge::kResetCode, name);
}
HResult CTriggerAction::Command0102All() { return SendCommandAll(bridge::kActivateCode); }
HResult CTriggerAction::Command0103All() { return SendCommandAll(bridge::kDeactivateCode); }
HResult CTriggerAction::Command0106All() { return SendCommandAll(bridge::kResetCode); }

// ---- Look-up ----

int32_t CTriggerAction::FindNumberByName(const std::string& name) const {
  return names_.Find(name);
}

void CTriggerAction::NoteRename(const CTrigger& trigger) {
  // The number names the slot except right after a save has renumbered the triggers.
  const int32_t number = trigger.Number();
  if (IsValidNumber(number) && slots_[number] && slots_[number]->GetTrigger().get() == &trigger) {
    names_.Changed(number);
  } else {
    names_.ChangedAnywhere();
  }
}

std::shared_ptr<CTrigger> CTriggerAction::FindTrigger(const std::string& name) const {
  return GetTriggerByNumber(FindNumberByName(name));
}

rows::TriggerInfo* CTriggerAction::AdapterAt(int32_t number) const {
  return IsValidNumber(number) ? slots_[number].get() : nullptr;
}

std::shared_ptr<CTrigger> CTriggerAction::GetTriggerByNumber(int32_t number) const {
  const rows::TriggerInfo* adapter = AdapterAt(number);
  return adapter ? adapter->GetTrigger() : nullptr;
}

uint16_t CTriggerAction::GetKindByNumber(int32_t number) const {
  const rows::TriggerInfo* adapter = AdapterAt(number);
  return adapter ? static_cast<uint16_t>(adapter->GetKind()) : triggers::kNoKindCode;
}

Variant CTriggerAction::GetAdapterByNumber(int32_t number) const {
  return Variant::ByRef(AdapterAt(number));
}

// ---- Names ----

HResult CTriggerAction::CheckNameUnique(const std::string& name) const {
  return triggers::MakeUniqueName(Slots(*this), name) == name ? kOk : kFail;
}

HResult CTriggerAction::CheckNameUniqueExcept(const std::string& name, int32_t number) const {
  return triggers::MakeUniqueName(Slots(*this), name, number) == name ? kOk : kFail;
}

// ---- Activity ----

HResult CTriggerAction::RefreshActiveFlags() {
  if (active_table_ == nullptr) {
    const uint32_t* table = nullptr;
    if (bridge_.GetActiveTable(&table) == 0) active_table_ = table;
    if (active_table_ == nullptr) return kOk;
  }
  for (int32_t slot = 0; slot < triggers::kSlotCount; ++slot) {
    if (slots_[slot]) slots_[slot]->SetActive(active_table_[slot] != 0);
  }
  return kOk;
}

// ---- Interrupt sources ----

void CTriggerAction::FetchSources() {
  if (!sources_.empty()) return;
  uint8_t* table = nullptr;
  if (bridge_.GetSourceTable(&table) != 0) table = nullptr;
  if (table == nullptr) return;
  sources_ = triggers::InterruptSources::FromBuffer(table, triggers::SourceTableSize(table));
  std::free(table);  // the reply handed its ownership over
}

HResult CTriggerAction::CheckInterruptSource(const std::string& source) {
  FetchSources();
  return sources_.Check(source);
}

HResult CTriggerAction::ResolveInterruptSource(const std::string& source, int32_t* code) const {
  sources_.Resolve(source, code);
  return kOk;
}

int32_t CTriggerAction::SourceCount() {
  FetchSources();
  return sources_.Count();
}

HResult CTriggerAction::GetSourceName(int32_t index, std::string* name) {
  FetchSources();
  if (index < 0 || index >= sources_.Count()) return kFail;
  *name = sources_.entries()[static_cast<size_t>(index)].name;
  return kOk;
}

}  // namespace core::registry
