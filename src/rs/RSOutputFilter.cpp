#include "rs/RSOutputFilter.h"

#include "rs/RSXml.h"

using namespace rsxml;

void CRSOutputFilter::Save(CDataNode& node, int /*mode*/) {
  SaveCommon(node);
  WriteString(node, "Filter", Filter);
  WriteBool(node, "UseRegExp", UseRegExp);
  WriteInt(node, "Action", Action);
  WriteString(node, "Message", Message);
  WriteInt(node, "MessageType", MessageType);
  wxString joined;
  for (size_t i = 0; i < Exclusions.size(); ++i) {
    if (i > 0) joined += wxT('\n');
    joined += Exclusions[i];
  }
  WriteString(node, "Exclusions", joined);
}

bool CRSOutputFilter::Load(const CDataNode& node, int /*mode*/) {
  LoadCommon(node);
  ReadStringInto(node, "Filter", &Filter);
  UseRegExp = ReadBool(node, "UseRegExp", false);
  Action = ReadInt(node, "Action", 1);
  ReadStringInto(node, "Message", &Message);
  MessageType = ReadInt(node, "MessageType", 0);
  Exclusions.clear();
  const wxString joined = ReadString(node, "Exclusions");
  if (!joined.empty()) {
    size_t start = 0;
    for (;;) {
      const size_t lf = joined.find(wxT('\n'), start);
      if (lf == wxString::npos) {
        Exclusions.Add(joined.Mid(start));
        break;
      }
      Exclusions.Add(joined.Mid(start, lf - start));
      start = lf + 1;
    }
  }
  return true;
}

void CRSOutputFilter::Reset() {
  Inherited = Disabled = false;
  Filter.clear();
  UseRegExp = false;
  Action = 1;
  Message.clear();
  MessageType = 0;
  Exclusions.clear();
}

void CRSOutputFilter::CopyFrom(const CRSComponent& other) {
  CRSComponent::CopyFrom(other);
  if (const auto* f = dynamic_cast<const CRSOutputFilter*>(&other)) {
    Filter = f->Filter;
    UseRegExp = f->UseRegExp;
    Action = f->Action;
    Message = f->Message;
    MessageType = f->MessageType;
    Exclusions = f->Exclusions;
  }
}
