// TriggerInfo: the row adapter through which the trigger window, its dialogs and the list export
// read a trigger as the thirteen texts of a list row and write it back from texts. The registry
// keeps one adapter per occupied slot; each adapter holds one reference to its trigger.
//
// The base carries what every kind shares (number, name, status, type, the flags, the definition
// line, Register) and shows "-" for every other column, with setters that ignore their text; each
// kind's adapter overrides the columns it shows and the setters that are live for it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/automation/hresult.h"
#include "core/automation/variant.h"
#include "core/triggers/trigger.h"

namespace core::rows {

using automation::HResult;

// The text of a column a kind does not show.
inline constexpr char kNoColumn[] = "-";

// What holds the row adapters: the registry, as far as an adapter reaches it. An adapter asks its
// owner to delete its trigger; the owner destroys the adapter while it does so.
class TriggerInfoOwner {
 public:
  virtual HResult DeleteTrigger(const std::string& name) = 0;

 protected:
  ~TriggerInfoOwner() = default;
};

class TriggerInfo {
 public:
  virtual ~TriggerInfo() = default;
  TriggerInfo(const TriggerInfo&) = delete;
  TriggerInfo& operator=(const TriggerInfo&) = delete;

  // Column texts, read from the trigger afresh on every call.
  std::string GetNumberText() const;
  std::string GetNameText() const;
  std::string GetStatusText() const;
  virtual std::string GetTypeText() const;
  virtual std::string GetDestinationText() const { return kNoColumn; }
  virtual std::string GetSizeText() const { return kNoColumn; }
  virtual std::string GetDstModeText() const { return kNoColumn; }
  virtual std::string GetSourceText() const { return kNoColumn; }
  virtual std::string GetSrcModeText() const { return kNoColumn; }
  virtual std::string GetMaskText() const { return kNoColumn; }
  virtual std::string GetCountText() const { return kNoColumn; }
  virtual std::string GetCycleText() const { return kNoColumn; }
  virtual std::string GetWaitText() const { return kNoColumn; }

  // Setters: 0 when the trigger accepted the value, 1 when it refused it. Numbers are read in
  // automatic base (decimal, 0x hexadecimal, leading-zero octal) up to the first character that
  // does not fit. A setter of a column the kind does not show ignores its text and returns 0.
  int SetNumber(std::string text);
  int SetName(std::string text);
  virtual int SetDestination(std::string) { return 0; }
  virtual int SetSize(std::string) { return 0; }
  virtual int SetDstMode(std::string) { return 0; }
  virtual int SetSource(std::string) { return 0; }
  virtual int SetSrcMode(std::string) { return 0; }
  virtual int SetMask(std::string) { return 0; }
  virtual int SetCount(std::string) { return 0; }
  virtual int SetCycle(std::string) { return 0; }
  virtual int SetWait(std::string) { return 0; }

  // The trigger itself; the adapter's reference stays with the adapter.
  const std::shared_ptr<triggers::CTrigger>& GetTrigger() const { return trigger_; }
  int32_t GetKind() const { return static_cast<int32_t>(trigger_->Kind()); }

  void SetActive(bool active);
  // The trigger's Definition write: parses the line (and registers the trigger); its result.
  HResult SetDefinition(const std::string& line);
  // 1 when Register on the trigger fails (a negative result), else 0. Most kinds return S_FALSE
  // when the simulator refuses, and so give 0 here; the message kind reports it as E_FAIL.
  int Register();
  std::string GetDefinitionText() const;
  bool IsInSimulator() const;

  // Deletes this adapter's trigger, by its name, from the registry that holds the adapter; the
  // adapter is destroyed by the call, so nothing may touch it afterwards. E_FAIL for an adapter
  // that no registry holds.
  HResult RemoveFromRegistry();

 protected:
  explicit TriggerInfo(std::shared_ptr<triggers::CTrigger> trigger);

  triggers::CTrigger& Trigger() const { return *trigger_; }

 private:
  // The registry that takes the adapter into a slot, set as the adapter is made. It owns the
  // adapter and destroys it before it goes, so the pointer never outlives the registry.
  friend std::unique_ptr<TriggerInfo> MakeTriggerInfo(std::shared_ptr<triggers::CTrigger>,
                                                      TriggerInfoOwner*);
  TriggerInfoOwner* owner_ = nullptr;

  std::shared_ptr<triggers::CTrigger> trigger_;
};

// Typed access to the kind's own trigger class.
template <typename Kind>
class TriggerInfoOf : public TriggerInfo {
 protected:
  explicit TriggerInfoOf(std::shared_ptr<Kind> trigger) : TriggerInfo(std::move(trigger)) {}
  Kind& Typed() const { return static_cast<Kind&>(Trigger()); }
};

// The thirteen columns of a list row, in the order of the trigger window and the list export:
// No, Status, Name, Type, Destination, Size, Dst Mode, Source, Src Mode, Count, Cycle, Wait, Mask.
inline constexpr size_t kColumnCount = 13;
using ColumnText = std::string (TriggerInfo::*)() const;
const std::array<ColumnText, kColumnCount>& ListColumns();

// The adapter of the trigger's kind, for a trigger made by the registry (or a test). The owner, if
// any, is the registry that takes the adapter into a slot.
std::unique_ptr<TriggerInfo> MakeTriggerInfo(std::shared_ptr<triggers::CTrigger> trigger,
                                             TriggerInfoOwner* owner = nullptr);

// Text helpers shared by the adapters.
std::string SignedText(int32_t value);        // "%d"
std::string UnsignedText(uint32_t value);     // "%u"
int32_t ReadNumber(const std::string& text);  // automatic base, 0 for no number
int Accepted(HResult hr);                     // 0 when not negative, else 1

}  // namespace core::rows
