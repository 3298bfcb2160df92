// The edit-or-create loop and the kinds' tables of getters and setters behind it.
#include "core/window/edit_loop.h"

#include "core/automation/numbers.h"
#include "core/automation/strings.h"
#include "core/rows/kind_infos.h"

namespace core::window {
namespace {

using rows::TriggerInfo;

// ---- Setters, in the order each kind applies them ----

using Apply = int (*)(TriggerInfo&, const DialogData&);
struct Step {
  Field field;  // the field a refusal concerns
  Apply apply;
};

template <int (TriggerInfo::*Setter)(std::string), Field F>
int Column(TriggerInfo& adapter, const DialogData& data) {
  return (adapter.*Setter)(data[F]);
}

// A setter of the kind's own adapter; an adapter of another kind refuses.
template <typename Info, int (Info::*Setter)(std::string), Field F>
int Own(TriggerInfo& adapter, const DialogData& data) {
  auto* info = dynamic_cast<Info*>(&adapter);
  return info ? (info->*Setter)(data[F]) : 1;
}

// The generate mode belongs to the data kind only.
int GenerateMode(TriggerInfo& adapter, const DialogData& data) {
  return data.data_kind ? adapter.SetSrcMode(data[Field::SrcMode]) : 0;
}

int SourceKind(TriggerInfo& adapter, const DialogData& data) {
  auto* info = dynamic_cast<rows::StreamTriggerInfo*>(&adapter);
  return info ? info->SetSourceKind(data.data_kind ? "Data" : "Stream") : 1;
}

// The one property the window writes on the trigger itself: raise or clear. The adapter
// remembers the choice for the next time the dialog opens.
int RaiseFlag(TriggerInfo& adapter, const DialogData& data) {
  auto* info = dynamic_cast<rows::InterruptTriggerInfo*>(&adapter);
  auto* trigger = dynamic_cast<triggers::CInterruptTrigger*>(adapter.GetTrigger().get());
  if (info == nullptr || trigger == nullptr) return 1;
  const int result = rows::Accepted(trigger->PutRaise(automation::ToVariantBool(!data.clear)));
  info->SetClearInterrupt(data.clear);
  return result;
}

using rows::StreamTriggerInfo;
using rows::TransferTriggerInfo;
using I = TriggerInfo;

const std::vector<Step>& StepsOf(EditKind kind) {
  static const std::vector<Step> interrupt = {
      {Field::Name, Column<&I::SetName, Field::Name>},
      {Field::Cycle, Column<&I::SetCycle, Field::Cycle>},
      {Field::Wait, Column<&I::SetWait, Field::Wait>},
      {Field::Destination, Column<&I::SetDestination, Field::Destination>},
      {Field::None, RaiseFlag},
  };
  static const std::vector<Step> stream = {
      {Field::Name, Column<&I::SetName, Field::Name>},
      {Field::Size, Column<&I::SetSize, Field::Size>},
      {Field::Destination, Column<&I::SetDestination, Field::Destination>},
      {Field::DataList, Own<StreamTriggerInfo, &StreamTriggerInfo::SetDataList, Field::DataList>},
      {Field::StreamSource,
       Own<StreamTriggerInfo, &StreamTriggerInfo::SetStreamSource, Field::StreamSource>},
      {Field::DstMode, Column<&I::SetDstMode, Field::DstMode>},
      {Field::SrcMode, GenerateMode},
      {Field::Count, Column<&I::SetCount, Field::Count>},
      {Field::Cycle, Column<&I::SetCycle, Field::Cycle>},
      {Field::Wait, Column<&I::SetWait, Field::Wait>},
      {Field::Mask, Column<&I::SetMask, Field::Mask>},
      {Field::None, SourceKind},
  };
  static const std::vector<Step> transfer = {
      {Field::Name, Column<&I::SetName, Field::Name>},
      {Field::Size, Column<&I::SetSize, Field::Size>},
      {Field::Destination, Column<&I::SetDestination, Field::Destination>},
      {Field::DstMode, Column<&I::SetDstMode, Field::DstMode>},
      {Field::DstModeValue,
       Own<TransferTriggerInfo, &TransferTriggerInfo::SetDstModeValue, Field::DstModeValue>},
      {Field::Source, Column<&I::SetSource, Field::Source>},
      {Field::SrcMode, Column<&I::SetSrcMode, Field::SrcMode>},
      {Field::SrcModeValue,
       Own<TransferTriggerInfo, &TransferTriggerInfo::SetSrcModeValue, Field::SrcModeValue>},
      {Field::Count, Column<&I::SetCount, Field::Count>},
      {Field::Cycle, Column<&I::SetCycle, Field::Cycle>},
      {Field::Wait, Column<&I::SetWait, Field::Wait>},
  };
  static const std::vector<Step> io_stream = {
      {Field::Name, Column<&I::SetName, Field::Name>},
      {Field::Destination, Column<&I::SetDestination, Field::Destination>},
  };
  static const std::vector<Step> control = {
      {Field::Name, Column<&I::SetName, Field::Name>},
      {Field::Destination, Column<&I::SetDestination, Field::Destination>},
      {Field::Source, Column<&I::SetSource, Field::Source>},
  };
  static const std::vector<Step> connect = {
      {Field::Name, Column<&I::SetName, Field::Name>},
      {Field::Destination, Column<&I::SetDestination, Field::Destination>},
      {Field::Count, Column<&I::SetCount, Field::Count>},
  };
  switch (kind) {
    case EditKind::Interrupt:
      return interrupt;
    case EditKind::Stream:
      return stream;
    case EditKind::Transfer:
      return transfer;
    case EditKind::IOStream:
      return io_stream;
    case EditKind::Control:
      return control;
    case EditKind::Connect:
      return connect;
  }
  return interrupt;
}

int NumberOf(const TriggerInfo& adapter) {
  return automation::LeadingDecimal(adapter.GetNumberText());
}

// Every trigger but `own`, in slot order. The trigger is left out by its adapter, not by its
// number: after a save two triggers may show the same number.
std::vector<OtherTrigger> OtherTriggers(TriggerDocument& document, const TriggerInfo& own) {
  std::vector<OtherTrigger> others;
  for (int slot = 0; slot < document.GetSlotCount(); ++slot) {
    const TriggerInfo* adapter = document.GetTriggerInfo(slot);
    if (adapter == nullptr || adapter == &own) continue;
    others.push_back({adapter->GetNameText(), NumberOf(*adapter)});
  }
  return others;
}

std::vector<SourceItem> InterruptSources(TriggerDocument& document) {
  const std::vector<std::string>& names = document.GetInterruptSourceNames();
  const std::vector<int32_t>& codes = document.GetInterruptSourceIndices();
  const std::vector<uint32_t>& values = document.GetInterruptTableValues();
  std::vector<SourceItem> sources;
  for (size_t i = 0; i < names.size() && i < codes.size(); ++i) {
    sources.push_back({codes[i], names[i], i < values.size() ? values[i] : 0});
  }
  return sources;
}

// A trigger the loop works on, by its slot: the document may delete triggers while the loop
// runs (its refresh purges every trigger that is not in the simulator), so the adapter is looked
// up again before each use.
class Held {
 public:
  Held() = default;
  Held(TriggerDocument& document, TriggerInfo* adapter) : adapter_(adapter) {
    if (adapter == nullptr) return;
    slot_ = NumberOf(*adapter);
    if (document.GetTriggerInfo(slot_) == adapter) return;
    for (slot_ = 0; slot_ < document.GetSlotCount(); ++slot_) {
      if (document.GetTriggerInfo(slot_) == adapter) return;
    }
    adapter_ = nullptr;
  }
  // The adapter while its slot still holds it; null otherwise.
  TriggerInfo* Get(TriggerDocument& document) const {
    return adapter_ != nullptr && document.GetTriggerInfo(slot_) == adapter_ ? adapter_ : nullptr;
  }
  explicit operator bool() const { return adapter_ != nullptr; }

 private:
  TriggerInfo* adapter_ = nullptr;
  int slot_ = -1;
};

int ApplySteps(EditKind kind, const DialogData& data, TriggerInfo& adapter, bool stop,
               Field* refused) {
  *refused = Field::None;
  int result = 0;
  for (const Step& step : StepsOf(kind)) {
    if (step.apply(adapter, data) == 0) continue;
    if (result == 0) *refused = step.field;
    result = 1;
    if (stop) break;
  }
  return result;
}

}  // namespace

DialogData FillDialogData(EditKind kind, const TriggerInfo& adapter, TriggerDocument& document) {
  DialogData data;
  data[Field::Name] = adapter.GetNameText();
  data[Field::Destination] = adapter.GetDestinationText();
  switch (kind) {
    case EditKind::Interrupt:
      data[Field::Cycle] = adapter.GetCycleText();
      data[Field::Wait] = adapter.GetWaitText();
      data.clear = adapter.GetTypeText() == InfoOf(kind).other_type_text;
      data.sources = InterruptSources(document);
      break;
    case EditKind::Stream:
      data[Field::Size] = adapter.GetSizeText();
      data[Field::DstMode] = adapter.GetDstModeText();
      data[Field::SrcMode] = adapter.GetSrcModeText();
      data[Field::Count] = adapter.GetCountText();
      data[Field::Cycle] = adapter.GetCycleText();
      data[Field::Wait] = adapter.GetWaitText();
      data[Field::Mask] = adapter.GetMaskText();
      if (auto* stream = dynamic_cast<const rows::StreamTriggerInfo*>(&adapter)) {
        data[Field::DataList] = stream->GetDataListText();
        data[Field::StreamSource] = stream->GetStreamSourceText();
        data.data_kind = !automation::EqualsIgnoreCase(stream->GetSourceKindText(), "stream");
      }
      break;
    case EditKind::Transfer:
      data[Field::Size] = adapter.GetSizeText();
      data[Field::DstMode] = adapter.GetDstModeText();
      data[Field::Source] = adapter.GetSourceText();
      data[Field::SrcMode] = adapter.GetSrcModeText();
      data[Field::Count] = adapter.GetCountText();
      data[Field::Cycle] = adapter.GetCycleText();
      data[Field::Wait] = adapter.GetWaitText();
      if (auto* transfer = dynamic_cast<const rows::TransferTriggerInfo*>(&adapter)) {
        data[Field::DstModeValue] = transfer->GetDstModeValueText();
        data[Field::SrcModeValue] = transfer->GetSrcModeValueText();
      }
      break;
    case EditKind::IOStream:
      // The list shows the 16-bit port signed; the dialog reads only unsigned numbers, so it
      // gets the low 16 bits, which the setter reads back to the same port.
      data[Field::Destination] = automation::DecimalText(static_cast<uint32_t>(
          static_cast<uint16_t>(automation::LeadingDecimal(data[Field::Destination]))));
      break;
    case EditKind::Control:
      data[Field::Source] = adapter.GetSourceText();
      data.others = OtherTriggers(document, adapter);
      break;
    case EditKind::Connect:
      data[Field::Count] = adapter.GetCountText();
      if (data[Field::Destination] != rows::kNoColumn) {
        data.members = rows::SplitMembers(data[Field::Destination]);
      }
      data.others = OtherTriggers(document, adapter);
      break;
  }
  return data;
}

Field ApplyDialogData(EditKind kind, const DialogData& data, TriggerInfo& adapter) {
  Field refused = Field::None;
  ApplySteps(kind, data, adapter, true, &refused);
  return refused;
}

void EditLoop::EditOrCreate(EditKind kind, std::optional<int> slot) {
  const EditKindInfo& info = InfoOf(kind);
  const std::string type = info.type_text;
  registry::CTriggerAction& registry = document_.Registry();

  Held edited;
  if (slot) {
    TriggerInfo* adapter = document_.GetTriggerInfo(*slot);
    if (adapter == nullptr) return;
    // A row of another kind (the window sends connect edits of any row) gets a new trigger.
    if (adapter->GetKind() == static_cast<int32_t>(info.trigger_kind)) {
      edited = Held(document_, adapter);
    }
  }
  Held created;
  if (!edited) {
    created = Held(document_, document_.CreateTrigger(info.keyword));
    if (!created) {
      registry.WriteLog("No new " + type +
                        " trigger can be created: every trigger number is in use");
      return;
    }
  }

  const TriggerInfo* first = edited ? edited.Get(document_) : created.Get(document_);
  DialogData data = FillDialogData(kind, *first, document_);
  if (edited) data.own_number = data[Field::Number] = first->GetNumberText();
  const DialogData original = data;
  const triggers::TriggerFlags original_flags = first->GetTrigger()->Flags();
  bool edited_changed = false;  // setters have written the edited trigger
  Held copy;                    // the new trigger of a save as new

  for (;;) {
    const DialogResult result = dialogs_.Run(kind, data);
    if (result == DialogResult::Unavailable || result == DialogResult::Cancel) {
      if (result == DialogResult::Unavailable) {
        registry.WriteLog("The " + type + " trigger dialog could not be shown");
      }
      if (TriggerInfo* adapter = created.Get(document_)) document_.DeleteTrigger(adapter, true);
      // Cancel leaves the edited trigger as it was: what earlier attempts wrote is undone.
      TriggerInfo* adapter = edited.Get(document_);
      if (adapter != nullptr && edited_changed) {
        Field ignored;
        ApplySteps(kind, original, *adapter, false, &ignored);
        adapter->GetTrigger()->RestoreFlags(original_flags);
      }
      break;
    }
    if (result != DialogResult::Ok) continue;
    data.focus = Field::None;

    if (edited) {
      const bool as_new = IsNew(data[Field::Number]);
      if (as_new && !copy) {
        copy = Held(document_, document_.CreateTrigger(info.keyword));
        if (!copy) {
          registry.WriteLog("No new " + type +
                            " trigger can be created: every trigger number is in use");
          data.focus = Field::Number;
          continue;
        }
        // The copy starts from the edited trigger's entries; its name must differ.
        if (const TriggerInfo* adapter = edited.Get(document_)) {
          data[Field::Name] = adapter->GetNameText();
        }
        data.focus = Field::Name;
        continue;
      }
      if (!as_new && copy) {
        if (TriggerInfo* adapter = copy.Get(document_)) document_.DeleteTrigger(adapter, true);
        copy = Held();
      }
    }

    const Held& target = copy ? copy : edited ? edited : created;
    TriggerInfo* adapter = target.Get(document_);
    if (adapter == nullptr) {
      registry.WriteLog("The " + type + " trigger was deleted while its dialog was open");
      break;
    }
    if (&target == &edited) edited_changed = true;
    Field refused = Field::None;
    if (ApplySteps(kind, data, *adapter, true, &refused) != 0) {
      data.focus = refused;
      continue;
    }
    if (adapter->Register() == 0) break;
  }
  document_.Refresh();
}

}  // namespace core::window
