// A tagged value carried as an event argument: none, a number of one of the
// numeric kinds, a string, or an object pointer. Pointers remember the type
// they were stored as, so a handler that reads them as another type gets null
// instead of a wrongly typed object.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <typeinfo>

class UVariant {
 public:
  // Kind numbers. Only "none" (-1) and "pointer" (13) are exchanged between
  // components; the others are local to this class.
  enum Type : int32_t {
    kNone = -1,
    kInt8 = 1,
    kInt16 = 2,
    kInt32 = 3,
    kFloat = 4,
    kDouble = 5,
    kBool = 6,
    kString = 7,
    kPointer = 13,
  };

  // A variant of kind none with a zero value and an empty text.
  UVariant() = default;

  static UVariant FromInt8(int8_t v);
  static UVariant FromInt16(int16_t v);
  static UVariant FromInt32(int32_t v);
  static UVariant FromFloat(float v);
  static UVariant FromDouble(double v);
  static UVariant FromBool(bool v);
  static UVariant FromString(const wxString& v);
  template <typename T>
  static UVariant FromPointer(T* p) {
    UVariant v;
    v.SetPointer(p);
    return v;
  }

  int32_t GetType() const { return m_type; }
  bool IsNone() const { return m_type == kNone; }

  // Clears the variant back to kind none.
  void Clear() { *this = UVariant(); }

  void SetInt8(int8_t v);
  void SetInt16(int16_t v);
  void SetInt32(int32_t v);
  void SetFloat(float v);
  void SetDouble(double v);
  void SetBool(bool v);
  void SetString(const wxString& v);
  // Stores `p` as a pointer of static type T. Read it back with
  // GetPointer<T>() naming the same T (e.g. store a CMsgBase* and read a
  // CMsgBase*); the variant never owns the object.
  template <typename T>
  void SetPointer(T* p) {
    Clear();
    m_type = kPointer;
    m_value.pointer = const_cast<void*>(static_cast<const void*>(p));
    m_pointerType = &typeid(T);
  }

  // Numeric kinds convert to the requested one; strings, pointers and none
  // give 0 / false.
  int32_t GetInt32() const;
  double GetDouble() const;
  bool GetBool() const;
  // The text of a string variant; empty for every other kind.
  const wxString& GetString() const { return m_text; }

  // The stored pointer if this is a pointer variant stored as type T, else
  // null.
  template <typename T>
  T* GetPointer() const {
    if (m_type != kPointer || m_pointerType == nullptr || *m_pointerType != typeid(T)) {
      return nullptr;
    }
    return static_cast<T*>(m_value.pointer);
  }
  // The stored pointer of a pointer variant whatever its type, else null.
  void* GetRawPointer() const { return m_type == kPointer ? m_value.pointer : nullptr; }

 private:
  union Value {
    int8_t i8;
    int16_t i16;
    int32_t i32;
    float f;
    double d;
    bool b;
    void* pointer;
  };

  int32_t m_type = kNone;
  Value m_value{};
  const std::type_info* m_pointerType = nullptr;
  wxString m_text;
};
