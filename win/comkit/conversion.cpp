// Conversions at the COM boundary.
#include "win/comkit/conversion.h"

#include <mutex>
#include <new>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "core/automation/strings.h"
#include "win/comkit/raii.h"

namespace win::comkit {

using core::automation::Variant;
using core::automation::VarType;

namespace {

// Whether every character is below 0x80. Every ANSI code page maps those to the same code points,
// so such a text converts character by character, without the system's conversion and its
// length query: most texts crossing the boundary (settings keys, names, expressions) are such.
template <typename Char>
bool IsAscii(const Char* text, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (static_cast<std::make_unsigned_t<Char>>(text[i]) >= 0x80) return false;
  }
  return true;
}

}  // namespace

HRESULT ToBstr(const std::string& text, BSTR* out) noexcept {
  *out = nullptr;
  if (IsAscii(text.data(), text.size())) {
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(text.size()));
    if (result == nullptr) return E_OUTOFMEMORY;
    for (size_t i = 0; i < text.size(); ++i) result[i] = static_cast<wchar_t>(text[i]);
    *out = result;
    return S_OK;
  }
  const int length = text.empty() ? 0
                                  : MultiByteToWideChar(CP_ACP, 0, text.data(),
                                                        static_cast<int>(text.size()), nullptr, 0);
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(length));
  if (result == nullptr) return E_OUTOFMEMORY;
  if (length > 0) {
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result, length);
  }
  *out = result;
  return S_OK;
}

std::string ToNarrow(BSTR text) { return ToNarrow(text, SysStringLen(text)); }

std::string ToNarrow(const wchar_t* text, size_t length) {
  if (length == 0) return std::string();
  if (IsAscii(text, length)) return std::string(text, text + length);
  const int size =
      WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), result.data(), size, nullptr,
                      nullptr);
  return result;
}

std::wstring ToWide(const std::string& text) {
  if (IsAscii(text.data(), text.size())) return std::wstring(text.begin(), text.end());
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

UniqueBstr MakeBstr(const std::wstring& text) {
  return UniqueBstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

std::string HResultText(HRESULT hr) {
  return core::automation::Format("0x%08lX", static_cast<unsigned long>(hr));
}

namespace {

std::string SortKeyInUserLocale(const std::string& name) {
  UniqueBstr wide;
  if (FAILED(ToBstr(name, wide.Put()))) throw std::bad_alloc();
  const auto length = static_cast<int>(SysStringLen(wide.Get()));
  if (length == 0 || wide.Get()[0] == L'\0') return std::string();
  const int size = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, wide.Get(), length, nullptr, 0);
  std::string key(static_cast<size_t>(size > 0 ? size : 0), '\0');
  // With LCMAP_SORTKEY the output is bytes, whatever the parameter's type says.
  if (size <= 0 || LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, wide.Get(), length,
                                reinterpret_cast<LPWSTR>(key.data()), size) != size) {
    throw std::bad_alloc();
  }
  return key;
}

}  // namespace

std::string NameKeyInUserLocale(const std::string& name) {
  // A load looks up the same names again and again, and a sort key costs a conversion and a
  // walk through the locale's tables. Process-wide and never destroyed, as the bridge is.
  constexpr size_t kRemembered = 1024;  // past it the remembered keys are forgotten
  static std::mutex mutex;
  static auto* const keys = new std::unordered_map<std::string, std::string>();
  {
    std::lock_guard<std::mutex> lock(mutex);
    const auto known = keys->find(name);
    if (known != keys->end()) return known->second;
  }
  std::string key = SortKeyInUserLocale(name);
  std::lock_guard<std::mutex> lock(mutex);
  if (keys->size() >= kRemembered) keys->clear();
  keys->emplace(name, key);
  return key;
}

namespace {

// How deep a value may nest references and arrays: a member list is one reference to an array of
// texts, so anything deeper is no value a property takes. The limit also ends a reference that
// leads back to itself.
constexpr int kMaxNesting = 4;

Variant Illegal() { return Variant::Raw(VT_ILLEGAL, 0); }

Variant Convert(const VARIANT& in, int depth);

// A one-dimensional array of VARIANTs; no array at all is an empty one. An array of another shape
// or element type (a caller's claim the array does not back up) is not read as VARIANTs: it is no
// value a property takes.
Variant ArrayOfVariants(SAFEARRAY* array, int depth) {
  std::vector<Variant> items;
  if (array == nullptr) return Variant::Array({});
  VARTYPE element = VT_EMPTY;
  if (SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetVartype(array, &element)) ||
      element != VT_VARIANT || SafeArrayGetElemsize(array) != sizeof(VARIANT)) {
    return Illegal();
  }
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  ArrayLock lock(array);
  if (!lock.locked()) return Illegal();
  const auto* elements = static_cast<const VARIANT*>(array->pvData);
  // Elements are taken in order whatever the lower bound.
  for (LONG i = 0; i <= upper - lower; ++i) items.push_back(Convert(elements[i], depth + 1));
  return Variant::Array(std::move(items));
}

Variant Convert(const VARIANT& in, int depth) {
  if (depth > kMaxNesting) return Illegal();
  const VARTYPE vt = V_VT(&in);
  if (vt == (VT_VARIANT | VT_ARRAY | VT_BYREF)) {
    return ArrayOfVariants(V_ARRAYREF(&in) ? *V_ARRAYREF(&in) : nullptr, depth);
  }
  if (vt == (VT_BYREF | VT_VARIANT)) {
    return V_VARIANTREF(&in) ? Convert(*V_VARIANTREF(&in), depth + 1) : Variant();
  }
  if (vt == VT_BYREF) return Variant::ByRef(V_BYREF(&in));
  const bool by_ref = (vt & VT_BYREF) != 0;
  if (by_ref && V_BYREF(&in) == nullptr) return Variant::Raw(vt, 0);
  switch (vt & ~VT_BYREF) {
    case VT_EMPTY:
      return Variant();
    case VT_NULL:
      return Variant::Null();
    case VT_I1:
      return Variant::I1(by_ref ? *V_I1REF(&in) : V_I1(&in));
    case VT_UI1:
      return Variant::UI1(by_ref ? *V_UI1REF(&in) : V_UI1(&in));
    case VT_I2:
      return Variant::I2(by_ref ? *V_I2REF(&in) : V_I2(&in));
    case VT_UI2:
      return Variant::UI2(by_ref ? *V_UI2REF(&in) : V_UI2(&in));
    case VT_I4:
      return Variant::I4(by_ref ? *V_I4REF(&in) : V_I4(&in));
    case VT_UI4:
      return Variant::UI4(by_ref ? *V_UI4REF(&in) : V_UI4(&in));
    case VT_INT:
      return Variant::Int(by_ref ? *V_INTREF(&in) : V_INT(&in));
    case VT_UINT:
      return Variant::UInt(by_ref ? *V_UINTREF(&in) : V_UINT(&in));
    case VT_BOOL:
      return Variant::Bool(by_ref ? *V_BOOLREF(&in) : V_BOOL(&in));
    case VT_ERROR:
      return Variant::Error(by_ref ? *V_ERRORREF(&in) : V_ERROR(&in));
    case VT_R8:
      return Variant::R8(by_ref ? *V_R8REF(&in) : V_R8(&in));
    case VT_R4:
      return Variant::R8(by_ref ? *V_R4REF(&in) : V_R4(&in));
    case VT_BSTR:
      return Variant::Bstr(ToNarrow(by_ref ? *V_BSTRREF(&in) : V_BSTR(&in)));
    default:
      // Interfaces, dates, currency: only the type word travels, and no core property accepts it.
      // Arrays by value are not the member-list form, which the core knows as its array type:
      // they travel as VT_ILLEGAL so they cannot pass for it.
      return (vt & VT_ARRAY) ? Illegal() : Variant::Raw(vt, 0);
  }
}

}  // namespace

Variant FromVariant(const VARIANT& in) { return Convert(in, 0); }

HRESULT ToSafeArray(const Variant& array, SAFEARRAY** out) noexcept {
  *out = nullptr;
  const auto& items = array.Items();
  UniqueSafeArray result(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size())));
  if (!result.Get()) return E_OUTOFMEMORY;
  for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
    UniqueVariant item;
    HRESULT hr = ToVariant(items[static_cast<size_t>(i)], item.Get());
    if (SUCCEEDED(hr)) hr = SafeArrayPutElement(result.Get(), &i, item.Get());
    if (FAILED(hr)) return hr;
  }
  *out = result.Detach();
  return S_OK;
}

HRESULT ToVariant(const Variant& in, VARIANT* out) noexcept {
  VariantInit(out);
  const uint16_t vt = in.TypeWord();
  if (vt == static_cast<uint16_t>(VarType::Array | VarType::Variant)) {
    SAFEARRAY* array = nullptr;
    const HRESULT hr = ToSafeArray(in, &array);
    if (FAILED(hr)) return hr;
    V_VT(out) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(out) = array;
    return S_OK;
  }
  switch (static_cast<VarType>(vt)) {
    case VarType::Empty:
      return S_OK;
    case VarType::Bstr: {
      BSTR text = nullptr;
      const HRESULT hr = ToBstr(in.Text(), &text);
      if (FAILED(hr)) return hr;
      V_VT(out) = VT_BSTR;
      V_BSTR(out) = text;
      return S_OK;
    }
    case VarType::R8:
      V_VT(out) = VT_R8;
      V_R8(out) = in.Real();
      return S_OK;
    case VarType::ByRef:
      V_VT(out) = VT_BYREF;
      V_BYREF(out) = in.Pointer();
      return S_OK;
    default:
      break;
  }
  if (!in.IsInteger() && !in.Is(VarType::Null)) return DISP_E_TYPEMISMATCH;
  V_VT(out) = vt;
  // Integer types share the low bytes of the value union; write the widest and let the type word
  // say how many count.
  V_UI8(out) = in.Bits();
  return S_OK;
}

}  // namespace win::comkit
