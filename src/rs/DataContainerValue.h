// One typed value of a data container: none, boolean, integer, floating point
// or string, with its conversions from and to text.
#pragma once

#include <wx/string.h>

#include <cstdint>

class CDataContainerValue {
 public:
  enum Type { kNone = 0, kBool = 1, kInt = 2, kDouble = 3, kString = 4 };

  CDataContainerValue() = default;

  // Sets the type and converts the text: "true" (exactly) is the only true
  // boolean, integers and numbers take the leading number (0 without one),
  // strings keep the text; an unknown type only sets the type.
  void FromText(const wxString& text, int type);
  // "true"/"false", "%i", "%f", the string, or empty for another type.
  wxString ToText() const;

  int32_t Type = kNone;
  bool Bool = false;
  int32_t Int = 0;
  double Double = 0.0;
  wxString Text;
};
