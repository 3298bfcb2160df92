// The core's tagged value.
#include "core/automation/variant.h"

#include <cstdio>
#include <cstring>

namespace core::automation {

Variant Variant::R8(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return FromBits(VarType::R8, bits);
}

Variant Variant::Bstr(std::string text) {
  Variant v = FromBits(VarType::Bstr, 0);
  v.text_ = std::move(text);
  return v;
}

Variant Variant::Array(std::vector<Variant> items) {
  Variant v = FromBits(VarType::Array | VarType::Variant, 0);
  v.items_ = std::move(items);
  return v;
}

Variant Variant::ByRef(void* pointer) {
  return FromBits(VarType::ByRef, reinterpret_cast<uintptr_t>(pointer));
}

bool Variant::IsInteger() const {
  switch (static_cast<VarType>(type_)) {
    case VarType::I1:
    case VarType::UI1:
    case VarType::I2:
    case VarType::UI2:
    case VarType::I4:
    case VarType::UI4:
    case VarType::Int:
    case VarType::UInt:
    case VarType::Bool:
    case VarType::Error:
      return true;
    default:
      return false;
  }
}

int64_t Variant::Integer() const {
  switch (static_cast<VarType>(type_)) {
    case VarType::I1:
      return static_cast<int8_t>(bits_);
    case VarType::UI1:
      return static_cast<uint8_t>(bits_);
    case VarType::I2:
    case VarType::Bool:
      return static_cast<int16_t>(bits_);
    case VarType::UI2:
      return static_cast<uint16_t>(bits_);
    case VarType::I4:
    case VarType::Int:
    case VarType::Error:
      return static_cast<int32_t>(bits_);
    case VarType::UI4:
    case VarType::UInt:
      return static_cast<uint32_t>(bits_);
    default:
      return 0;
  }
}

double Variant::Real() const {
  if (Is(VarType::R8)) {
    double value;
    std::memcpy(&value, &bits_, sizeof value);
    return value;
  }
  if (Is(VarType::R4)) {
    const auto low = static_cast<uint32_t>(bits_);
    float value;
    std::memcpy(&value, &low, sizeof value);
    return value;
  }
  return 0.0;
}

void* Variant::Pointer() const {
  return (type_ & static_cast<uint16_t>(VarType::ByRef)) != 0
             ? reinterpret_cast<void*>(static_cast<uintptr_t>(bits_))
             : nullptr;
}

bool operator==(const Variant& a, const Variant& b) {
  return a.type_ == b.type_ && a.bits_ == b.bits_ && a.text_ == b.text_ && a.items_ == b.items_;
}

namespace {

const char* TypeName(uint16_t type) {
  switch (static_cast<VarType>(type)) {
    case VarType::Empty:
      return "VT_EMPTY";
    case VarType::Null:
      return "VT_NULL";
    case VarType::I2:
      return "VT_I2";
    case VarType::I4:
      return "VT_I4";
    case VarType::R4:
      return "VT_R4";
    case VarType::R8:
      return "VT_R8";
    case VarType::Bstr:
      return "VT_BSTR";
    case VarType::Dispatch:
      return "VT_DISPATCH";
    case VarType::Error:
      return "VT_ERROR";
    case VarType::Bool:
      return "VT_BOOL";
    case VarType::Unknown:
      return "VT_UNKNOWN";
    case VarType::I1:
      return "VT_I1";
    case VarType::UI1:
      return "VT_UI1";
    case VarType::UI2:
      return "VT_UI2";
    case VarType::UI4:
      return "VT_UI4";
    case VarType::I8:
      return "VT_I8";
    case VarType::UI8:
      return "VT_UI8";
    case VarType::Int:
      return "VT_INT";
    case VarType::UInt:
      return "VT_UINT";
    case VarType::ByRef:
      return "VT_BYREF";
    default:
      return nullptr;
  }
}

}  // namespace

std::string Variant::Describe() const {
  char head[48];
  const char* name = TypeName(type_);
  if (name == nullptr) {
    std::snprintf(head, sizeof head, "VT(0x%04X)", type_);
  } else {
    std::snprintf(head, sizeof head, "%s", name);
  }
  std::string out = head;
  if (IsInteger()) {
    out += ' ' + std::to_string(Integer());
  } else if (Is(VarType::R8) || Is(VarType::R4)) {
    char real[40];
    std::snprintf(real, sizeof real, " %.17g", Real());
    out += real;
  } else if (Is(VarType::Bstr)) {
    out += " \"" + text_ + '"';
  } else if (type_ == static_cast<uint16_t>(VarType::Array | VarType::Variant)) {
    out += " [";
    for (size_t i = 0; i < items_.size(); ++i) out += (i ? ", " : "") + items_[i].Describe();
    out += ']';
  } else if (type_ & static_cast<uint16_t>(VarType::ByRef)) {
    char pointer[32];
    std::snprintf(pointer, sizeof pointer, " %p", Pointer());
    out += pointer;
  }
  return out;
}

}  // namespace core::automation
