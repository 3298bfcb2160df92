// CTrigger: what every trigger kind has in common. Number, name and the four flags; numbering,
// the plain and the checked rename, the Active flag; the frame every definition-line parser runs
// in and the common steps of Register. Each kind derives from it and adds its properties, its
// line and its record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/automation/bytes.h"
#include "core/automation/hresult.h"
#include "core/automation/variant.h"
#include "core/triggers/kinds.h"
#include "core/triggers/line_scanner.h"
#include "core/triggers/trigger_context.h"

namespace core::triggers {

using automation::HResult;
using automation::Variant;
using automation::VariantBool;

// A rename to a name that another trigger bears is refused with one of these two messages.
inline constexpr char kNameClashMessage[] =
    "Invalid parameter: The name is the same as other trigger action";
inline constexpr char kShortNameClashMessage[] = "The name is the same as other trigger action";

// Every record is a block of this size, whatever its kind fills: the simulator may copy the whole
// block, so the bytes a kind leaves alone are there, zero.
inline constexpr size_t kRecordSize = 836;

// A text as the notes about a line quote it: in double quotes, a long one cut short.
std::string Quoted(std::string_view text);
// Why an address expression was not taken: empty, or the evaluator could not read it.
std::string Unevaluable(std::string_view expression);

class CTrigger {
 public:
  virtual ~CTrigger() = default;
  CTrigger(const CTrigger&) = delete;
  CTrigger& operator=(const CTrigger&) = delete;

  virtual TriggerKind Kind() const = 0;

  int32_t Number() const { return number_; }
  int32_t Id() const { return IdOf(number_); }
  const std::string& Name() const { return name_; }
  const TriggerFlags& Flags() const { return flags_; }

  // Stores the number and marks the trigger modified; tells neither registry nor simulator.
  virtual void SetNumber(int32_t number);
  // Stores the name and marks the trigger modified: no check, no host call.
  HResult SetNameUnchecked(const std::string& name);
  // The checked rename: a clash with another trigger is logged with the kind's message and
  // refused; then the event list takes the new name; then it is stored.
  HResult PutName(const std::string& name);

  VariantBool GetActive() const { return automation::ToVariantBool(flags_.active == 1); }
  // True only for VARIANT_TRUE exactly; never touches Modified.
  HResult PutActive(VariantBool active);
  VariantBool GetRegistered() const { return automation::ToVariantBool(flags_.registered == 1); }
  VariantBool GetModified() const { return automation::ToVariantBool(flags_.modified == 1); }
  VariantBool GetInSimulator() const { return automation::ToVariantBool(flags_.in_simulator == 1); }
  // Puts back flags read earlier, so that an edit undone through the setters (which mark the
  // trigger modified) leaves the trigger exactly as it was.
  void RestoreFlags(const TriggerFlags& flags) { flags_ = flags; }

  virtual std::string GetDefinition() const = 0;
  virtual HResult PutDefinition(const std::string& line) = 0;
  virtual HResult Register() = 0;

  TriggerContext& Context() const { return *context_; }

  // The automation object that wraps this trigger, if one was made: an opaque handle the COM
  // layer keeps here so that it hands out the same object every time.
  void* Peer() const { return peer_; }
  void SetPeer(void* peer) { peer_ = peer; }

 protected:
  // A null context stands for a trigger with nothing around it.
  CTrigger(std::shared_ptr<TriggerContext> context, std::string name);

  // The message a checked rename of this kind gives when the name clashes.
  virtual const char* NameClashMessage() const { return kNameClashMessage; }

  void MarkModified() { flags_.modified = 1; }
  // The plain put of a property: stores the value and marks the trigger modified.
  template <typename Field, typename Value>
  HResult Store(Field* field, const Value& value) {
    *field = value;
    MarkModified();
    return automation::kOk;
  }
  void StoreNumber(int32_t number) { number_ = number; }

  // A refused value: the message goes to the host's log, the result is E_FAIL. `field` names the
  // property, for a log that knows which line the value came from.
  HResult Refuse(const char* message, const char* field = "");

  // What was wrong with a definition line or a Register, for whoever reads the line (the
  // registry, loading a project, logs it with the line's key; see TriggerContext::NoteProblem).
  // A field the line gave that the trigger could not read or did not take, and why:
  void NoteField(const char* field, const std::string& why) const;
  // Why Register did not define the trigger; the result is E_FAIL.
  HResult NotRegistered(const char* field, const std::string& why) const;
  // Register's first check: E_FAIL, noted, for the first of the required texts that is empty.
  HResult RequireTexts(
      std::initializer_list<std::pair<const char*, const std::string*>> texts) const;

  // Notes what the scan of a definition line (its kind's Read) could not read: the first field
  // it stopped at (that field and the ones after it keep the values they had) and text left over
  // after the last field. `names` name the fields in pattern order; a line may end before field
  // `optional_from` (a connect line without members) without a note.
  template <size_t N>
  void NoteScan(std::string_view line, const ScanStop& stop, const char* const (&names)[N],
                size_t optional_from = SIZE_MAX) const {
    NoteScan(line, stop, names, N, optional_from);
  }
  void NoteScan(std::string_view line, const ScanStop& stop, const char* const* names,
                size_t name_count, size_t optional_from) const;

  // Steps of the parse frame after the scan: the event list learns the name of the id as
  // written (fresh, result ignored), then the number (id - 100) and the name are stored.
  void ApplyLineHead(int32_t id, std::string_view name);

  // A zeroed block of kRecordSize bytes beginning with the four words every record begins with:
  // 0, 0x0100, the trigger id, the action code.
  automation::ByteWriter StartRecord(uint16_t action) const;

  // The last steps of Register: the record goes to the simulator; on success the trigger is in
  // the simulator, registered and no longer modified (S_OK). On failure no flag changes and the
  // result is `failure` (the bridge's 1 for most kinds).
  HResult Define(const std::vector<uint8_t>& record, HResult failure = automation::kFalse);

  TriggerFlags flags_;

 private:
  std::shared_ptr<TriggerContext> context_;
  int32_t number_ = 0;
  std::string name_;
  void* peer_ = nullptr;
};

}  // namespace core::triggers
