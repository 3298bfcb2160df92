// Reading the journal into calls, and making them.
#include "bench/win/host_calls.h"

#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/automation/bytes.h"
#include "win/comkit/conversion.h"
#include "win/comkit/dispatch_call.h"

namespace bench::win {
namespace {

using ::win::comkit::ComPtr;
using ::win::comkit::HandleArg;
using ::win::comkit::LongArg;
using ::win::comkit::LongRefArg;
using ::win::comkit::TextArg;
using ::win::comkit::UniqueBstr;
using ::win::comkit::UniqueVariant;

// The members of the application by DISPID, as the host interface fixes them.
constexpr DISPID kAddinWindowActive = 3;
constexpr DISPID kAddCommand = 7;
constexpr DISPID kAddCommandImages = 8;
constexpr DISPID kAddMenuItem = 12;
constexpr DISPID kAddPopupMenu = 15;
constexpr DISPID kAddToolbarButton = 25;
constexpr DISPID kRemoveWindowKind = 32;
constexpr DISPID kGetService = 39;
constexpr DISPID kObject = 40;

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// The text between `open` and the first `close` after it; false when either is missing.
bool Between(const std::string& line, const std::string& open, const std::string& close,
             size_t* from, std::string* out) {
  const size_t start = line.find(open, *from);
  if (start == std::string::npos) return false;
  const size_t first = start + open.size();
  const size_t end = line.find(close, first);
  if (end == std::string::npos) return false;
  *out = line.substr(first, end - first);
  *from = end;
  return true;
}

BSTR Bstr(const std::string& text) {
  BSTR out = nullptr;
  if (FAILED(::win::comkit::ToBstr(text, &out))) throw std::bad_alloc();
  return out;
}

// The comma-separated numbers of a call's argument list, after its quoted texts.
std::vector<LONG> Numbers(const std::string& text) {
  std::vector<LONG> numbers;
  for (const char* at = text.c_str(); *at != '\0';) {
    char* end = nullptr;
    const long value = std::strtol(at, &end, 10);
    if (end != at) {
      numbers.push_back(value);
      at = end;
    } else {
      ++at;
    }
  }
  return numbers;
}

std::vector<uint8_t> HexBytes(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (const char* at = hex.c_str(); *at != '\0';) {
    char* end = nullptr;
    const unsigned long byte = std::strtoul(at, &end, 16);
    if (end == at) break;
    bytes.push_back(static_cast<uint8_t>(byte));
    at = end;
  }
  return bytes;
}

HRESULT Invoke(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT>& reversed_args,
               VARIANT* result) {
  DISPPARAMS params = {reversed_args.data(), nullptr, static_cast<UINT>(reversed_args.size()), 0};
  DISPID put = DISPID_PROPERTYPUT;
  if (flags == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &put;
    params.cNamedArgs = 1;
  }
  return object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, flags, &params, result, nullptr,
                        nullptr);
}

}  // namespace

struct HostCalls::Call {
  enum class Kind {
    Service,
    ReadProfileInt,
    ReadProfileString,
    WriteProfileInt,
    WriteProfileString,
    MarkProjectModified,
    AddEventName,
    RemoveEventName,
    SimCommand,
    Evaluate,
    ByName,    // a member of a by-name service: AddLogString, GetCPUName
    ByDispid,  // a member of the application
  };

  ~Call() {
    for (VARIANT& v : args) VariantClear(&v);
  }

  Kind kind;
  std::string line;
  std::string name;  // the service of a Service call; the service and member of a ByName call
  std::string member;
  UniqueBstr empty{SysAllocString(L"")};
  UniqueBstr first, second, third;
  LONG number = 0;
  std::vector<uint8_t> block;  // a command block or a record, as it went to the simulator
  uint16_t code = 0;
  DISPID dispid = 0;
  WORD flags = DISPATCH_METHOD;
  std::vector<VARIANT> args;  // in reverse order, as IDispatch takes them
  LONG image = 0;             // the in-out image index of two registration calls
};

HostCalls::HostCalls() = default;
HostCalls::~HostCalls() = default;

bool HostCalls::Read(const std::string& journal, IVireoStandin* standin, HMODULE resources,
                     std::string* error) {
  calls_.clear();
  // The popup the add-in hands over is a menu of its own; any menu does for the host.
  static const HMENU popup = CreatePopupMenu();
  size_t start = 0;
  while (start < journal.size()) {
    size_t end = journal.find('\n', start);
    if (end == std::string::npos) end = journal.size();
    std::string line = journal.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;

    auto call = std::make_unique<Call>();
    call->line = line;
    size_t at = 0;
    std::string a, b, c;
    bool ok = true;
    if (StartsWith(line, "GetService(") || StartsWith(line, "Object(")) {
      call->kind = Call::Kind::Service;
      call->dispid = StartsWith(line, "GetService(") ? kGetService : kObject;
      ok = Between(line, "(", ")", &at, &call->name);
      call->args.push_back(TextArg(call->name));
    } else if (StartsWith(line, "Manager.ReadProfileInt(")) {
      call->kind = Call::Kind::ReadProfileInt;
      ok = Between(line, "(", ", ", &at, &a) && Between(line, ", ", ", ", &at, &b) &&
           Between(line, ", ", ")", &at, &c);
      call->number = std::atol(c.c_str());
    } else if (StartsWith(line, "Manager.ReadProfileString(")) {
      call->kind = Call::Kind::ReadProfileString;
      ok = Between(line, "(", ", ", &at, &a) && Between(line, ", ", ", \"", &at, &b) &&
           Between(line, ", \"", "\") = ", &at, &c);
      call->third = UniqueBstr(Bstr(c));
    } else if (StartsWith(line, "Manager.WriteProfileInt(")) {
      call->kind = Call::Kind::WriteProfileInt;
      ok = Between(line, "(", ", ", &at, &a) && Between(line, ", ", ", ", &at, &b) &&
           Between(line, ", ", ")", &at, &c);
      call->number = std::atol(c.c_str());
    } else if (StartsWith(line, "Manager.WriteProfileString(")) {
      call->kind = Call::Kind::WriteProfileString;
      ok = Between(line, "(", ", ", &at, &a) && Between(line, ", ", ", \"", &at, &b);
      c = line.substr(at + 3, line.size() - at - 5);  // the text between ', "' and '")'
      call->third = UniqueBstr(Bstr(c));
    } else if (StartsWith(line, "MarkProjectModified(")) {
      call->kind = Call::Kind::MarkProjectModified;
      call->number = std::atol(line.c_str() + std::strlen("MarkProjectModified("));
    } else if (StartsWith(line, "EventCommand.AddEventName(")) {
      call->kind = Call::Kind::AddEventName;
      ok = Between(line, "(", ", ", &at, &a) && Between(line, ", ", ")", &at, &b);
      call->number = std::atol(a.c_str());
      a = b;
    } else if (StartsWith(line, "EventCommand.RemoveEventName(")) {
      call->kind = Call::Kind::RemoveEventName;
      call->number = std::atol(line.c_str() + std::strlen("EventCommand.RemoveEventName("));
    } else if (StartsWith(line, "SimCommand(")) {
      call->kind = Call::Kind::SimCommand;
      ok = Between(line, "(", ")", &at, &a);
      char* rest = nullptr;
      call->code = static_cast<uint16_t>(std::strtoul(a.c_str(), &rest, 16));
      const bool has_id = rest != nullptr && *rest == ',';
      const long id = has_id ? std::strtol(rest + 1, nullptr, 10) : 0;
      if (ok && call->code == 0x0100) {
        // A record: the one the simulator took for that id.
        UniqueBstr hex;
        if (FAILED(standin->RecordBytes(id, hex.Put()))) {
          *error = "the simulator holds no record for " + line;
          return false;
        }
        call->block = HexBytes(::win::comkit::ToNarrow(hex.Get()));
      } else if (ok) {
        core::automation::ByteWriter block(8);
        block.U16(0, 8);
        block.U16(2, call->code);
        block.I32(4, static_cast<int32_t>(id));
        call->block = block.Take();
      }
      call->first = UniqueBstr(SysAllocString(L"SimCommand"));
    } else if (StartsWith(line, "Evaluate(")) {
      call->kind = Call::Kind::Evaluate;
      const size_t close = line.rfind(") = ");
      ok = close != std::string::npos;
      if (ok) a = line.substr(std::strlen("Evaluate("), close - std::strlen("Evaluate("));
    } else if (StartsWith(line, "AddLogString(\"")) {
      call->kind = Call::Kind::ByName;
      call->name = "Tamber.Service";
      call->member = "AddLogString";
      std::string text = line.substr(std::strlen("AddLogString(\""));
      text.resize(text.size() - 2);  // '")'
      std::string unescaped;
      for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
          unescaped += '\n';
          ++i;
        } else {
          unescaped += text[i];
        }
      }
      call->args.push_back(TextArg(unescaped));
    } else if (StartsWith(line, "GetCPUName()")) {
      call->kind = Call::Kind::ByName;
      call->name = "Pennant.Service";
      call->member = "GetCPUName";
    } else if (StartsWith(line, "AddCommandImages(")) {
      call->kind = Call::Kind::ByDispid;
      call->dispid = kAddCommandImages;
      // "AddCommandImages(module, large, small, image N, flags, cookie)"
      const std::vector<LONG> n = Numbers(line.substr(line.find(", ")));
      ok = n.size() == 5;
      if (ok) {
        call->image = n[2];
        call->args = {HandleArg(resources),     LongArg(n[0]), LongArg(n[1]),
                      LongRefArg(&call->image), LongArg(n[3]), LongArg(n[4])};
      }
    } else if (StartsWith(line, "AddCommand(\"") || StartsWith(line, "AddMenuItem(\"") ||
               StartsWith(line, "AddToolbarButton(\"") || StartsWith(line, "AddPopupMenu(\"") ||
               StartsWith(line, "RemoveWindowKind(\"")) {
      call->kind = Call::Kind::ByDispid;
      ok = Between(line, "(\"", "\"", &at, &a);
      const std::string rest = ok ? line.substr(at + 1) : std::string();
      std::vector<LONG> n = Numbers(rest);
      if (StartsWith(line, "AddCommand(")) {
        call->dispid = kAddCommand;
        ok = ok && n.size() == 3;
        if (ok) call->args = {TextArg(a), LongArg(n[0]), LongArg(n[1]), LongArg(n[2])};
      } else if (StartsWith(line, "AddMenuItem(")) {
        call->dispid = kAddMenuItem;
        ok = ok && n.size() == 5;
        if (ok) {
          call->args = {TextArg(a),    LongArg(n[0]), LongArg(n[1]),
                        LongArg(n[2]), LongArg(n[3]), LongArg(n[4])};
        }
      } else if (StartsWith(line, "AddToolbarButton(")) {
        call->dispid = kAddToolbarButton;
        ok = ok && n.size() == 3;
        if (ok) {
          call->image = n[0];
          call->args = {TextArg(a), LongRefArg(&call->image), LongArg(n[1]), LongArg(n[2])};
        }
      } else if (StartsWith(line, "AddPopupMenu(")) {
        // "AddPopupMenu("name", position, flags, menu, "caption", cookie)"
        call->dispid = kAddPopupMenu;
        size_t from = at + 1;
        std::string caption;
        ok = ok && Between(line, ", \"", "\"", &from, &caption);
        n = Numbers(rest.substr(0, rest.find('"')));
        const std::vector<LONG> cookie = Numbers(line.substr(from + 1));
        ok = ok && n.size() == 2 && cookie.size() == 1;
        if (ok) {
          call->args = {TextArg(a),       LongArg(n[0]),    LongArg(n[1]),
                        HandleArg(popup), TextArg(caption), LongArg(cookie[0])};
        }
      } else {
        call->dispid = kRemoveWindowKind;
        call->args = {TextArg(a)};
      }
    } else if (StartsWith(line, "AddinWindowActive = ")) {
      call->kind = Call::Kind::ByDispid;
      call->dispid = kAddinWindowActive;
      call->flags = DISPATCH_PROPERTYPUT;
      call->args = {LongArg(std::atol(line.c_str() + std::strlen("AddinWindowActive = ")))};
    } else {
      ok = false;
    }
    if (!ok) {
      *error = "the floor cannot make the host call \"" + line + "\"";
      return false;
    }
    if (call->kind != Call::Kind::Service && call->kind != Call::Kind::ByName &&
        call->kind != Call::Kind::ByDispid) {
      if (!a.empty() || call->kind == Call::Kind::ReadProfileInt ||
          call->kind == Call::Kind::ReadProfileString) {
        call->first = UniqueBstr(
            call->kind == Call::Kind::SimCommand ? SysAllocString(L"SimCommand") : Bstr(a));
      }
      if (!b.empty()) call->second = UniqueBstr(Bstr(b));
    }
    // IDispatch takes its arguments last first.
    std::reverse(call->args.begin(), call->args.end());
    calls_.push_back(std::move(call));
  }
  return true;
}

std::map<std::string, int> HostCalls::Kinds() const {
  std::map<std::string, int> kinds;
  for (const auto& call : calls_) {
    std::string kind = call->line.substr(0, call->line.find('('));
    if (call->kind == Call::Kind::SimCommand) kind = call->line.substr(0, 17) + ")";
    if (call->kind == Call::Kind::ByDispid && call->flags == DISPATCH_PROPERTYPUT) {
      kind = "AddinWindowActive";
    }
    ++kinds[kind];
  }
  return kinds;
}

bool HostCalls::Make(IDispatch* application, std::string* error) {
  // The services as the add-in holds them: the object GetService gave, asked for the service's
  // own interface.
  std::map<std::string, ComPtr<IDispatch>> services;
  ComPtr<IVireoManager> manager;
  ComPtr<IVireoTargetCommand> target;
  ComPtr<IVireoEventCommand> events;
  ComPtr<IVireoEvaluation> evaluation;
  const auto fail = [&](const Call& call, HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    *error = "the host call \"" + call.line + "\" failed with " + code;
    return false;
  };

  for (const auto& owned : calls_) {
    Call& call = *owned;
    HRESULT hr = S_OK;
    switch (call.kind) {
      case Call::Kind::Service: {
        UniqueVariant result;
        hr = Invoke(application, call.dispid, DISPATCH_PROPERTYGET, call.args, result.Get());
        if (FAILED(hr) || V_VT(result.Get()) != VT_DISPATCH) return fail(call, hr);
        IDispatch* service = V_DISPATCH(result.Get());
        if (call.name == "Marlin.Manager") {
          hr = service->QueryInterface(IID_IVireoManager, manager.PutVoid());
        } else if (call.name == "Marlin.TargetCommand") {
          hr = service->QueryInterface(IID_IVireoTargetCommand, target.PutVoid());
        } else if (call.name == "Marlin.EventCommand") {
          hr = service->QueryInterface(IID_IVireoEventCommand, events.PutVoid());
        } else if (call.name == "Quillon.Evaluation") {
          hr = service->QueryInterface(IID_IVireoEvaluation, evaluation.PutVoid());
        } else {
          services[call.name] = ComPtr<IDispatch>::Share(service);
        }
        break;
      }
      case Call::Kind::ReadProfileInt: {
        LONG value = 0;
        hr = manager->ReadProfileInt(call.empty.Get(), call.first.Get(), call.second.Get(),
                                     call.number, &value);
        break;
      }
      case Call::Kind::ReadProfileString: {
        UniqueBstr value;
        hr = manager->ReadProfileString(call.empty.Get(), call.first.Get(), call.second.Get(),
                                        call.third.Get(), value.Put());
        break;
      }
      case Call::Kind::WriteProfileInt:
        hr = manager->WriteProfileInt(call.empty.Get(), call.first.Get(), call.second.Get(),
                                      call.number);
        break;
      case Call::Kind::WriteProfileString:
        hr = manager->WriteProfileString(call.empty.Get(), call.first.Get(), call.second.Get(),
                                         call.third.Get());
        break;
      case Call::Kind::MarkProjectModified:
        hr = manager->MarkProjectModified(call.number);
        break;
      case Call::Kind::AddEventName:
        hr = events->AddEventName(call.number, call.first.Get());
        break;
      case Call::Kind::RemoveEventName:
        hr = events->RemoveEventName(call.number);
        if (hr == E_FAIL) hr = S_OK;  // a name that was not there
        break;
      case Call::Kind::SimCommand: {
        VARIANT block;
        V_VT(&block) = VT_BYREF;
        V_BYREF(&block) = call.block.data();
        VARIANT reply;
        VariantInit(&reply);
        hr = target->Command(call.first.Get(), 0, block, &reply);
        // The reply block is the caller's, and so is the interrupt source table it points at.
        if (V_VT(&reply) == VT_BYREF && V_BYREF(&reply) != nullptr) {
          auto* answer = static_cast<uint8_t*>(V_BYREF(&reply));
          if (call.code == 0x200) {
            void* table = nullptr;
            std::memcpy(&table, answer + 4, sizeof table);
            std::free(table);
          }
          std::free(answer);
        }
        break;
      }
      case Call::Kind::Evaluate: {
        UniqueVariant value;
        hr = evaluation->Evaluate(call.first.Get(), value.Get());
        if (hr == E_FAIL) hr = S_OK;  // an expression the evaluator refused, as the add-in saw
        break;
      }
      case Call::Kind::ByName: {
        IDispatch* service = services[call.name].Get();
        if (service == nullptr) return fail(call, E_POINTER);
        const std::wstring wide(call.member.begin(), call.member.end());
        const DISPID id = ::win::comkit::IdOfName(service, wide.c_str(), &hr);
        if (SUCCEEDED(hr)) {
          UniqueVariant result;
          hr = Invoke(service, id, DISPATCH_METHOD, call.args, result.Get());
        }
        break;
      }
      case Call::Kind::ByDispid: {
        UniqueVariant result;
        hr = Invoke(application, call.dispid, call.flags, call.args,
                    call.flags == DISPATCH_PROPERTYPUT ? nullptr : result.Get());
        break;
      }
    }
    if (FAILED(hr)) return fail(call, hr);
  }
  return true;
}

}  // namespace bench::win
