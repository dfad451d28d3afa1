#include "net/UserData1Msg.h"

#include "net/MemoryBudget.h"
#include "net/MemoryStream.h"

wxIMPLEMENT_DYNAMIC_CLASS(CUserData1Msg, CCompressedMsgBase);

namespace {

// One pool record; false when the stream ends inside it.
bool ReadPoolRecord(CMemoryStream& s, wxString* entry) {
  wxUint32 u = 0;
  wxUint8 b = 0;
  wxString id, name, skip;
  if (!(s.ReadUInt32(u) && s.ReadString(id) && s.ReadString(name) && s.ReadString(skip) &&
        s.ReadString(skip) && s.ReadUInt8(b) && s.ReadUInt32(u) && s.ReadUInt32(u) &&
        s.ReadString(skip) && s.ReadString(skip) && s.ReadUInt32(u) && s.ReadUInt8(b) &&
        s.ReadUInt32(u) && s.ReadString(skip))) {
    return false;
  }
  *entry = id + wxT("|") + name;
  return true;
}

bool WritePoolRecord(CMemoryStream& s, const wxString& entry) {
  const wxString id = entry.BeforeFirst(wxT('|'));
  const wxString name = entry.AfterFirst(wxT('|'));
  return s.WriteUInt32(0) && s.WriteString(id) && s.WriteString(name) &&
         s.WriteString(wxString()) && s.WriteString(wxString()) && s.WriteUInt8(0) &&
         s.WriteUInt32(0) && s.WriteUInt32(0) && s.WriteString(wxString()) &&
         s.WriteString(wxString()) && s.WriteUInt32(0) && s.WriteUInt8(0) && s.WriteUInt32(0) &&
         s.WriteString(wxString());
}

}  // namespace

CUserData1Msg::CUserData1Msg() { SetType(kType); }

bool CUserData1Msg::WriteData(CMemoryStream& stream) const {
  if (!stream.WriteUInt8(0) || !stream.WriteUInt32(static_cast<wxUint32>(pools.GetCount())))
    return false;
  for (const wxString& entry : pools) {
    if (!WritePoolRecord(stream, entry)) return false;
  }
  return true;
}

bool CUserData1Msg::ReadData(CMemoryStream& stream) {
  pools.Clear();
  wxUint8 leading = 0;
  wxUint32 count = 0;
  if (!stream.ReadUInt8(leading) || !stream.ReadUInt32(count)) return true;
  // The count comes from the peer: never trust it beyond the bytes present.
  CMemoryBudget budget(kMaxPoolListBytes, kPoolEntryCost, sizeof(wxChar));
  for (wxUint32 i = 0; i < count && stream.RemainingCount() > 0; ++i) {
    wxString entry;
    if (!ReadPoolRecord(stream, &entry)) break;
    if (!budget.Charge(entry.length())) {
      pools.Clear();
      SetOverLimit();
      return false;
    }
    pools.Add(entry);
  }
  return true;
}
