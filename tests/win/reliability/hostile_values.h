// The hostile arguments handed to the add-in's automation doors: texts that are null, empty, 64K
// characters long, hold a NUL or line breaks or characters outside the ANSI code page, and
// VARIANTs of every type a property does not take, malformed arrays and references that lead
// nowhere or back to themselves.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <utility>
#include <vector>

namespace reliability {

class HostileTexts {
 public:
  HostileTexts() {
    std::wstring long_text;
    while (long_text.size() < 65536) long_text += L"101,a,";  // a line of 32K fields
    long_text.resize(65536);
    texts_ = {
        {"a null BSTR", nullptr},
        {"an empty text", SysAllocString(L"")},
        {"a 64K text", SysAllocStringLen(long_text.data(), static_cast<UINT>(long_text.size()))},
        {"a text with a NUL", SysAllocStringLen(L"tick\0tock", 9)},
        {"a text with line breaks", SysAllocString(L"101,filestream,a\r\n[Project]\r\nb")},
        {"a text beyond the code page",
         SysAllocString(L"Z\u00fcrich \u2603 \u65e5\u672c \U0001F600")},
    };
  }
  ~HostileTexts() {
    for (auto& text : texts_) SysFreeString(text.second);
  }
  HostileTexts(const HostileTexts&) = delete;
  HostileTexts& operator=(const HostileTexts&) = delete;

  const std::vector<std::pair<std::string, BSTR>>& all() const { return texts_; }
  BSTR Long() const { return texts_[2].second; }

 private:
  std::vector<std::pair<std::string, BSTR>> texts_;
};

class HostileVariants {
 public:
  // `object` stands for any automation object a caller might pass.
  explicit HostileVariants(IDispatch* object) {
    LONG index = 0;
    UniqueText tick;
    SafeArrayPutElement(texts_, &index, tick.text);
    Element(looped_) = {};
    V_VT(&Element(looped_)) = VT_VARIANT | VT_ARRAY | VT_BYREF;  // the array itself, uncopied
    V_ARRAYREF(&Element(looped_)) = &looped_;

    variants_.reserve(32);  // the values refer to each other: they must not move
    V_ERROR(&Add("VT_ERROR", VT_ERROR)) = DISP_E_PARAMNOTFOUND;
    V_DISPATCH(&Add("VT_DISPATCH", VT_DISPATCH)) = object;
    V_DISPATCH(&Add("a null VT_DISPATCH", VT_DISPATCH)) = nullptr;
    V_UNKNOWN(&Add("VT_UNKNOWN", VT_UNKNOWN)) = object;
    Add("VT_EMPTY", VT_EMPTY);
    Add("VT_NULL", VT_NULL);
    V_DATE(&Add("VT_DATE", VT_DATE)) = 45000.5;
    V_CY(&Add("VT_CY", VT_CY)).int64 = 12345;
    V_DECIMAL(&Add("VT_DECIMAL", VT_EMPTY)).Lo64 = 7;
    V_VT(&variants_.back()) = VT_DECIMAL;  // the decimal's fields overlay the type word
    V_R8(&Add("VT_R8", VT_R8)) = 1e300;
    V_ARRAYREF(&Add("an array of texts claiming to hold VARIANTs",
                    VT_VARIANT | VT_ARRAY | VT_BYREF)) = &texts_;
    V_ARRAY(&Add("an array of numbers by value", VT_I4 | VT_ARRAY)) = numbers_;
    V_ARRAYREF(&Add("a two-dimensional array of VARIANTs", VT_VARIANT | VT_ARRAY | VT_BYREF)) =
        &square_;
    V_I4REF(&Add("a reference to a number that is not there", VT_I4 | VT_BYREF)) = nullptr;
    V_BSTRREF(&Add("a reference to a text that is not there", VT_BSTR | VT_BYREF)) = nullptr;
    VARIANT& loop = Add("a reference to a VARIANT that refers to itself", VT_VARIANT | VT_BYREF);
    V_VARIANTREF(&loop) = &loop;
    // The one value a member-list put takes: an array of VARIANTs, if of no use.
    V_ARRAYREF(&Add(kTakenByMembers, VT_VARIANT | VT_ARRAY | VT_BYREF)) = &looped_;
  }
  ~HostileVariants() {
    Element(looped_) = {};
    for (SAFEARRAY* array : {looped_, square_, numbers_, texts_}) SafeArrayDestroy(array);
  }
  HostileVariants(const HostileVariants&) = delete;
  HostileVariants& operator=(const HostileVariants&) = delete;

  std::vector<std::pair<std::string, const VARIANT*>> all() const {
    std::vector<std::pair<std::string, const VARIANT*>> out;
    for (size_t i = 0; i < variants_.size(); ++i) out.emplace_back(names_[i], &variants_[i]);
    return out;
  }
  static constexpr const char* kTakenByMembers = "an array whose element is the array itself";

 private:
  struct UniqueText {
    BSTR text = SysAllocString(L"tick");
    ~UniqueText() { SysFreeString(text); }
  };
  static VARIANT& Element(SAFEARRAY* array) { return *static_cast<VARIANT*>(array->pvData); }
  VARIANT& Add(const char* name, VARTYPE vt) {
    names_.push_back(name);
    variants_.emplace_back();
    VARIANT& value = variants_.back();
    VariantInit(&value);
    V_UI8(&value) = 0;
    V_VT(&value) = vt;
    return value;
  }

  SAFEARRAY* texts_ = SafeArrayCreateVector(VT_BSTR, 0, 2);
  SAFEARRAY* numbers_ = SafeArrayCreateVector(VT_I4, 0, 3);
  SAFEARRAYBOUND bounds_[2] = {{2, 0}, {2, 0}};
  SAFEARRAY* square_ = SafeArrayCreate(VT_VARIANT, 2, bounds_);
  SAFEARRAY* looped_ = SafeArrayCreateVector(VT_VARIANT, 0, 1);
  std::vector<std::string> names_;
  std::vector<VARIANT> variants_;
};

}  // namespace reliability
