// The script host.
#include "standin/win/runner/script_host.h"

#include <activscp.h>
#include <oleauto.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "standin/win/dispatch_object.h"
#include "win/comkit/conversion.h"
#include "win/comkit/dispatch_call.h"
#include "win/comkit/raii.h"

namespace standin::runner {
namespace {

using ::win::comkit::ComPtr;
using ::win::comkit::UniqueBstr;

// IActiveScriptParse64, which the import library does not define.
constexpr IID kIidActiveScriptParse = {
    0xc7ef7658, 0xe1ee, 0x480e, {0x97, 0xea, 0xd5, 0x2c, 0xb4, 0xd7, 0x6d, 0x17}};

// The error WScript.Quit raises to stop the script.
constexpr HRESULT kQuit = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0F01);

using ::win::comkit::ToNarrow;

// The script's text: UTF-16 or UTF-8 when it begins with their byte order mark, else the ANSI
// code page, as cscript reads it.
bool ReadScript(const std::wstring& path, std::wstring* text) {
  std::ifstream in(ToNarrow(path), std::ios::binary);
  if (!in) return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    text->assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    return true;
  }
  UINT code_page = CP_ACP;
  size_t start = 0;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    code_page = CP_UTF8;
    start = 3;
  }
  const int length = MultiByteToWideChar(code_page, 0, bytes.data() + start,
                                         static_cast<int>(bytes.size() - start), nullptr, 0);
  text->assign(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data() + start, static_cast<int>(bytes.size() - start),
                      text->data(), length);
  return true;
}

class WScriptObject : public win::DispatchObject {
 public:
  explicit WScriptObject(std::wstring path)
      : DispatchObject(IID_NULL, {{L"Echo", kEcho, DISPATCH_METHOD},
                                  {L"Quit", kQuitMember, DISPATCH_METHOD},
                                  {L"ScriptFullName", kFullName, DISPATCH_PROPERTYGET},
                                  {L"ScriptName", kName, DISPATCH_PROPERTYGET}}),
        path_(std::move(path)) {}

  bool quit() const { return quit_; }
  int exit_code() const { return exit_code_; }

 protected:
  HRESULT Call(DISPID id, const DISPPARAMS& params, VARIANT* result,
               EXCEPINFO* exception) override {
    switch (id) {
      case kEcho:
        return Echo(params);
      case kQuitMember:
        return Quit(params, exception);
      case kFullName:
        return Text(path_, result);
      case kName:
        return Text(path_.substr(path_.find_last_of(L"\\/") + 1), result);
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  static constexpr DISPID kEcho = 1;
  static constexpr DISPID kQuitMember = 2;
  static constexpr DISPID kFullName = 3;
  static constexpr DISPID kName = 4;

  HRESULT Echo(const DISPPARAMS& params) {
    std::string line;
    for (UINT i = 0; i < params.cArgs; ++i) {
      UniqueBstr text;
      const HRESULT hr = win::ArgumentText(params, i, &text);
      if (FAILED(hr)) return hr;
      line += (i ? " " : "") + ToNarrow(text.Get());
    }
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
    return S_OK;
  }

  HRESULT Quit(const DISPPARAMS& params, EXCEPINFO* exception) {
    exit_code_ = 0;
    if (params.cArgs > 0) {
      VARIANT code;
      VariantInit(&code);
      if (FAILED(VariantChangeType(&code, &params.rgvarg[params.cArgs - 1], 0, VT_I4))) {
        return DISP_E_TYPEMISMATCH;
      }
      exit_code_ = V_I4(&code);
    }
    quit_ = true;
    if (exception != nullptr) {
      *exception = EXCEPINFO{};
      exception->scode = kQuit;
      exception->bstrDescription = SysAllocString(L"WScript.Quit");
    }
    return DISP_E_EXCEPTION;
  }

  static HRESULT Text(const std::wstring& text, VARIANT* result) {
    if (result == nullptr) return S_OK;
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return V_BSTR(result) ? S_OK : E_OUTOFMEMORY;
  }

  std::wstring path_;
  bool quit_ = false;
  int exit_code_ = 0;
};

// The site lives on the stack of the runner as long as the engine does, so its count is nominal.
class ScriptSite : public IActiveScriptSite {
 public:
  ScriptSite(std::wstring path, IDispatch* vireo, WScriptObject* wscript)
      : path_(std::move(path)), vireo_(vireo), wscript_(wscript) {}

  bool failed() const { return failed_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IActiveScriptSite) return E_NOINTERFACE;
    *out = static_cast<IActiveScriptSite*>(this);
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }

  STDMETHODIMP GetLCID(LCID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) override {
    if (item != nullptr) *item = nullptr;
    if (info != nullptr) *info = nullptr;
    IDispatch* object = nullptr;
    if (_wcsicmp(name, L"Vireo") == 0) {
      object = vireo_;
    } else if (_wcsicmp(name, L"WScript") == 0) {
      object = wscript_;
    } else {
      return TYPE_E_ELEMENTNOTFOUND;
    }
    if ((mask & SCRIPTINFO_IUNKNOWN) != 0 && item != nullptr) {
      object->AddRef();
      *item = object;
    }
    if ((mask & SCRIPTINFO_ITYPEINFO) != 0 && info != nullptr) object->GetTypeInfo(0, 0, info);
    return S_OK;
  }
  STDMETHODIMP GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
  STDMETHODIMP OnStateChange(SCRIPTSTATE) override { return S_OK; }
  STDMETHODIMP OnScriptError(IActiveScriptError* error) override {
    ::win::comkit::ExceptionInfo exception;
    error->GetExceptionInfo(exception.Put());
    const EXCEPINFO& info = exception.Get();
    const bool quitting = wscript_->quit() && info.scode == kQuit;
    if (!quitting) {
      DWORD context = 0;
      ULONG line = 0;
      LONG column = 0;
      error->GetSourcePosition(&context, &line, &column);
      std::string text = exception.Description();
      if (info.bstrDescription == nullptr) text = "script error";
      const HRESULT code = info.scode ? info.scode : info.wCode;
      std::fprintf(stderr, "%s(%lu, %ld): %s (%s)\n", ToNarrow(path_).c_str(), line + 1, column + 1,
                   text.c_str(), ::win::comkit::HResultText(code).c_str());
      std::fflush(stderr);
      failed_ = true;
    }
    return S_OK;
  }
  STDMETHODIMP OnEnterScript() override { return S_OK; }
  STDMETHODIMP OnLeaveScript() override { return S_OK; }

 private:
  std::wstring path_;
  IDispatch* vireo_;
  WScriptObject* wscript_;
  bool failed_ = false;
};

int Complain(const std::wstring& path, const char* what, HRESULT hr) {
  std::fprintf(stderr, "vireo-standin: %s: %s (%s)\n", ToNarrow(path).c_str(), what,
               ::win::comkit::HResultText(hr).c_str());
  return 1;
}

}  // namespace

int RunScript(const std::wstring& path, IDispatch* vireo, bool* quit) {
  if (quit != nullptr) *quit = false;
  std::wstring source;
  if (!ReadScript(path, &source)) {
    std::fprintf(stderr, "vireo-standin: cannot read the script %s\n", ToNarrow(path).c_str());
    return 1;
  }
  CLSID jscript;
  HRESULT hr = CLSIDFromProgID(L"JScript", &jscript);
  if (FAILED(hr)) return Complain(path, "the JScript engine is not installed", hr);
  ComPtr<IActiveScript> engine;
  hr =
      CoCreateInstance(jscript, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript, engine.PutVoid());
  if (FAILED(hr)) return Complain(path, "cannot start the JScript engine", hr);
  ComPtr<IActiveScriptParse> parser;
  hr = engine.As(kIidActiveScriptParse, &parser);
  if (FAILED(hr)) return Complain(path, "the JScript engine cannot parse", hr);

  const ComPtr<WScriptObject> wscript = ComPtr<WScriptObject>::Share(new WScriptObject(path));
  ScriptSite site(path, vireo, wscript.Get());
  hr = engine->SetScriptSite(&site);
  if (SUCCEEDED(hr)) hr = parser->InitNew();
  if (SUCCEEDED(hr)) hr = engine->AddNamedItem(L"Vireo", SCRIPTITEM_ISVISIBLE);
  if (SUCCEEDED(hr)) hr = engine->AddNamedItem(L"WScript", SCRIPTITEM_ISVISIBLE);
  if (SUCCEEDED(hr)) hr = engine->SetScriptState(SCRIPTSTATE_STARTED);
  if (FAILED(hr)) {
    engine->Close();
    return Complain(path, "cannot prepare the JScript engine", hr);
  }
  ::win::comkit::ExceptionInfo exception;
  hr = parser->ParseScriptText(source.c_str(), nullptr, nullptr, nullptr, 0, 0,
                               SCRIPTTEXT_ISVISIBLE, nullptr, exception.Put());
  engine->Close();

  if (wscript->quit()) {
    if (quit != nullptr) *quit = true;
    return wscript->exit_code();
  }
  if (site.failed()) return 1;
  if (FAILED(hr)) return Complain(path, "the script failed", hr);
  return 0;
}

}  // namespace standin::runner
