// The host ports over COM.
#include "win/host/com_host.h"

#include <vector>

#include "win/comkit/conversion.h"
#include "win/comkit/dispatch_call.h"
#include "win/comkit/raii.h"

namespace win::host {
namespace {

using core::automation::HResult;
using core::automation::Variant;
using win::comkit::ComPtr;
using win::comkit::UniqueBstr;
using win::comkit::UniqueVariant;

// A BSTR for the length of a call.
class Text {
 public:
  explicit Text(const std::string& text) {
    if (FAILED(win::comkit::ToBstr(text, bstr_.Put()))) throw std::bad_alloc();
  }
  BSTR get() const { return bstr_.Get(); }

 private:
  UniqueBstr bstr_;
};

// A BSTR kept for a text that recurs call after call (the settings file and section, a command's
// name), made again only when the text changes.
class KeptText {
 public:
  BSTR get(const std::string& text) {
    if (bstr_.Get() == nullptr || text != text_) {
      UniqueBstr made;
      if (FAILED(win::comkit::ToBstr(text, made.Put()))) throw std::bad_alloc();
      bstr_ = std::move(made);
      text_ = text;
    }
    return bstr_.Get();
  }

 private:
  std::string text_;
  UniqueBstr bstr_;
};

class ManagerPort : public core::bridge::ManagerPort {
 public:
  explicit ManagerPort(ComPtr<IVireoManager> manager) : manager_(std::move(manager)) {}
  HResult ReadProfileInt(const std::string& file, const std::string& section,
                         const std::string& key, int32_t default_value, int32_t* value) override {
    LONG read = *value;
    const HRESULT hr = manager_->ReadProfileInt(file_.get(file), section_.get(section),
                                                Text(key).get(), default_value, &read);
    *value = read;
    return hr;
  }
  HResult WriteProfileInt(const std::string& file, const std::string& section,
                          const std::string& key, int32_t value) override {
    return manager_->WriteProfileInt(file_.get(file), section_.get(section), Text(key).get(),
                                     value);
  }
  HResult ReadProfileString(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& default_value,
                            std::string* value) override {
    UniqueBstr read;
    const HRESULT hr =
        manager_->ReadProfileString(file_.get(file), section_.get(section), Text(key).get(),
                                    default_.get(default_value), read.Put());
    if (SUCCEEDED(hr)) *value = win::comkit::ToNarrow(read.Get());
    return hr;
  }
  HResult WriteProfileString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) override {
    return manager_->WriteProfileString(file_.get(file), section_.get(section), Text(key).get(),
                                        Text(value).get());
  }
  HResult MarkProjectModified(int32_t flag) override { return manager_->MarkProjectModified(flag); }

 private:
  ComPtr<IVireoManager> manager_;
  KeptText file_, section_, default_;
};

class TargetCommandPort : public core::bridge::TargetCommandPort {
 public:
  explicit TargetCommandPort(ComPtr<IVireoTargetCommand> target) : target_(std::move(target)) {}
  HResult Command(const std::string& name, int32_t arg, const Variant& in,
                  Variant* reply) override {
    VARIANT block;
    VariantInit(&block);
    V_VT(&block) = VT_BYREF;  // no base type: the pointer to the block itself
    V_BYREF(&block) = in.Pointer();
    UniqueVariant result;
    const HRESULT hr = target_->Command(name_.get(name), arg, block, result.Get());
    // The reply block travels in the result's pointer field, whatever its type word says.
    *reply = Variant::Raw(V_VT(result.Get()), reinterpret_cast<uintptr_t>(V_BYREF(result.Get())));
    if (V_VT(result.Get()) & VT_BYREF) VariantInit(result.Get());  // not ours to clear
    return hr;
  }

 private:
  ComPtr<IVireoTargetCommand> target_;
  KeptText name_;
};

class EventCommandPort : public core::bridge::EventCommandPort {
 public:
  explicit EventCommandPort(ComPtr<IVireoEventCommand> events) : events_(std::move(events)) {}
  HResult AddName(int32_t id, const std::string& name) override {
    return events_->AddEventName(id, Text(name).get());
  }
  HResult RemoveName(int32_t id) override { return events_->RemoveEventName(id); }

 private:
  ComPtr<IVireoEventCommand> events_;
};

class EvaluationPort : public core::bridge::EvaluationPort {
 public:
  explicit EvaluationPort(ComPtr<IVireoEvaluation> evaluation)
      : evaluation_(std::move(evaluation)) {}
  HResult Evaluate(const std::string& expression, Variant* result) override {
    UniqueVariant value;
    const HRESULT hr = evaluation_->Evaluate(Text(expression).get(), value.Get());
    if (SUCCEEDED(hr)) *result = win::comkit::FromVariant(*value.Get());
    return hr;
  }

 private:
  ComPtr<IVireoEvaluation> evaluation_;
};

class MemoryCommandPort : public core::bridge::MemoryCommandPort {
 public:
  explicit MemoryCommandPort(ComPtr<IVireoMemoryCommand> memory) : memory_(std::move(memory)) {}
  HResult TriggersChanged() override { return memory_->TriggersChanged(); }

 private:
  ComPtr<IVireoMemoryCommand> memory_;
};

class ObjectFilePort : public core::bridge::ObjectFilePort {
 public:
  explicit ObjectFilePort(ComPtr<IDispatch> service) : service_(std::move(service)) {}

 private:
  ComPtr<IDispatch> service_;
};

template <typename Interface, typename Port>
std::unique_ptr<Port> Query(IDispatch* service, REFIID iid) {
  ComPtr<Interface> typed;
  if (FAILED(service->QueryInterface(iid, typed.PutVoid())) || !typed) return nullptr;
  return std::make_unique<Port>(std::move(typed));
}

class HostObject : public core::bridge::HostObject {
 public:
  explicit HostObject(ComPtr<IDispatch> service) : service_(std::move(service)) {}

  HResult GetIDsOfNames(const std::string& name, uint32_t lcid, int32_t* dispid) override {
    Text member(name);
    LPOLESTR names[] = {member.get()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = service_->GetIDsOfNames(IID_NULL, names, 1, lcid, &id);
    *dispid = id;
    return hr;
  }
  HResult Invoke(int32_t dispid, uint32_t lcid, uint16_t flags, const std::vector<Variant>& args,
                 Variant* result) override {
    std::vector<VARIANT> converted;
    converted.reserve(args.size());
    for (const Variant& arg : args) {
      VARIANT v;
      const HRESULT hr = win::comkit::ToVariant(arg, &v);
      if (FAILED(hr)) {
        const win::comkit::DispArgs made(std::move(converted));  // cleared as it goes
        return hr;
      }
      converted.push_back(v);
    }
    win::comkit::DispArgs call(std::move(converted));
    UniqueVariant value;
    const HRESULT hr = service_->Invoke(dispid, IID_NULL, lcid, flags, call.Params(),
                                        result ? value.Get() : nullptr, nullptr, nullptr);
    if (result && SUCCEEDED(hr)) *result = win::comkit::FromVariant(*value.Get());
    return hr;
  }
  std::unique_ptr<core::bridge::ManagerPort> QueryManager() override {
    return Query<IVireoManager, ManagerPort>(service_.Get(), IID_IVireoManager);
  }
  std::unique_ptr<core::bridge::TargetCommandPort> QueryTargetCommand() override {
    return Query<IVireoTargetCommand, TargetCommandPort>(service_.Get(), IID_IVireoTargetCommand);
  }
  std::unique_ptr<core::bridge::EventCommandPort> QueryEventCommand() override {
    return Query<IVireoEventCommand, EventCommandPort>(service_.Get(), IID_IVireoEventCommand);
  }
  std::unique_ptr<core::bridge::EvaluationPort> QueryEvaluation() override {
    return Query<IVireoEvaluation, EvaluationPort>(service_.Get(), IID_IVireoEvaluation);
  }
  std::unique_ptr<core::bridge::MemoryCommandPort> QueryMemoryCommand() override {
    return Query<IVireoMemoryCommand, MemoryCommandPort>(service_.Get(), IID_IVireoMemoryCommand);
  }
  std::unique_ptr<core::bridge::ObjectFilePort> QueryObjectFile() override {
    // The object-file service has no interface the add-in calls; it is kept as it came.
    return std::make_unique<ObjectFilePort>(service_);
  }

 private:
  ComPtr<IDispatch> service_;
};

class HostApplication : public core::bridge::HostApplication {
 public:
  explicit HostApplication(ComPtr<IDispatch> application) : application_(std::move(application)) {}

  std::unique_ptr<core::bridge::HostObject> GetService(const std::string& name) override {
    Text service_name(name);
    VARIANT argument;
    V_VT(&argument) = VT_BSTR;
    V_BSTR(&argument) = service_name.get();
    DISPPARAMS params = {&argument, nullptr, 1, 0};
    UniqueVariant result;
    const HRESULT hr =
        application_->Invoke(kGetServiceDispid, IID_NULL, LOCALE_SYSTEM_DEFAULT,
                             DISPATCH_PROPERTYGET, &params, result.Get(), nullptr, nullptr);
    if (FAILED(hr) || V_VT(result.Get()) != VT_DISPATCH || V_DISPATCH(result.Get()) == nullptr) {
      return nullptr;
    }
    return MakeHostObject(V_DISPATCH(result.Get()));
  }

 private:
  ComPtr<IDispatch> application_;
};

}  // namespace

std::shared_ptr<core::bridge::HostApplication> MakeHostApplication(IDispatch* application) {
  return std::make_shared<HostApplication>(ComPtr<IDispatch>::Share(application));
}

std::unique_ptr<core::bridge::HostObject> MakeHostObject(IDispatch* service) {
  return std::make_unique<HostObject>(ComPtr<IDispatch>::Share(service));
}

}  // namespace win::host
