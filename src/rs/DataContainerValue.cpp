#include "rs/DataContainerValue.h"

#include "settings/XSSValue.h"

void CDataContainerValue::FromText(const wxString& text, int type) {
  Type = type;
  switch (type) {
    case kBool: Bool = text == wxT("true"); break;
    case kInt: Int = UXSSValue::ParseInt(text); break;
    case kDouble: Double = UXSSValue::ParseDouble(text); break;
    case kString: Text = text; break;
    default: break;
  }
}

wxString CDataContainerValue::ToText() const {
  switch (Type) {
    case kBool: return Bool ? wxT("true") : wxT("false");
    case kInt: return wxString::Format(wxT("%i"), Int);
    case kDouble: return UXSSValue::FormatDouble(Double);
    case kString: return Text;
    default: return wxString();
  }
}
