#include "settings/Variant.h"

UVariant UVariant::FromInt8(int8_t v) {
  UVariant r;
  r.SetInt8(v);
  return r;
}

UVariant UVariant::FromInt16(int16_t v) {
  UVariant r;
  r.SetInt16(v);
  return r;
}

UVariant UVariant::FromInt32(int32_t v) {
  UVariant r;
  r.SetInt32(v);
  return r;
}

UVariant UVariant::FromFloat(float v) {
  UVariant r;
  r.SetFloat(v);
  return r;
}

UVariant UVariant::FromDouble(double v) {
  UVariant r;
  r.SetDouble(v);
  return r;
}

UVariant UVariant::FromBool(bool v) {
  UVariant r;
  r.SetBool(v);
  return r;
}

UVariant UVariant::FromString(const wxString& v) {
  UVariant r;
  r.SetString(v);
  return r;
}

void UVariant::SetInt8(int8_t v) {
  Clear();
  m_type = kInt8;
  m_value.i8 = v;
}

void UVariant::SetInt16(int16_t v) {
  Clear();
  m_type = kInt16;
  m_value.i16 = v;
}

void UVariant::SetInt32(int32_t v) {
  Clear();
  m_type = kInt32;
  m_value.i32 = v;
}

void UVariant::SetFloat(float v) {
  Clear();
  m_type = kFloat;
  m_value.f = v;
}

void UVariant::SetDouble(double v) {
  Clear();
  m_type = kDouble;
  m_value.d = v;
}

void UVariant::SetBool(bool v) {
  Clear();
  m_type = kBool;
  m_value.b = v;
}

void UVariant::SetString(const wxString& v) {
  Clear();
  m_type = kString;
  m_text = v;
}

double UVariant::GetDouble() const {
  switch (m_type) {
    case kInt8:
      return m_value.i8;
    case kInt16:
      return m_value.i16;
    case kInt32:
      return m_value.i32;
    case kFloat:
      return m_value.f;
    case kDouble:
      return m_value.d;
    case kBool:
      return m_value.b ? 1.0 : 0.0;
    default:
      return 0.0;
  }
}

int32_t UVariant::GetInt32() const {
  switch (m_type) {
    case kInt8:
      return m_value.i8;
    case kInt16:
      return m_value.i16;
    case kInt32:
      return m_value.i32;
    case kBool:
      return m_value.b ? 1 : 0;
    case kFloat:
    case kDouble: {
      // Truncates toward zero; out-of-range values saturate instead of
      // invoking undefined behaviour.
      const double d = GetDouble();
      if (!(d == d)) return 0;
      if (d >= 2147483647.0) return INT32_MAX;
      if (d <= -2147483648.0) return INT32_MIN;
      return static_cast<int32_t>(d);
    }
    default:
      return 0;
  }
}

bool UVariant::GetBool() const {
  if (m_type == kBool) return m_value.b;
  return GetDouble() != 0.0;
}
