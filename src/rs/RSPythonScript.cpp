#include "rs/RSPythonScript.h"

#include "platform/FileIO.h"
#include "platform/Utf8.h"

#include <wx/strconv.h>

#include <string>

void CRSPythonScript::Save(CDataNode& node, int /*mode*/) {
  SaveCommon(node);
  node.SetText(Script);
}

bool CRSPythonScript::Load(const CDataNode& node, int /*mode*/) {
  LoadCommon(node);
  utf8text::Assign(&Script, node.GetTextUTF8());
  return true;
}

void CRSPythonScript::Reset() {
  Inherited = Disabled = false;
  Script.clear();
}

void CRSPythonScript::CopyFrom(const CRSComponent& other) {
  CRSComponent::CopyFrom(other);
  if (const auto* s = dynamic_cast<const CRSPythonScript*>(&other)) Script = s->Script;
}

bool CRSPythonScript::SaveToFile(const wxString& dir) {
  return CFileIO::WriteAtomically(CFileIO::JoinPath(dir, GetFileName()), utf8text::From(Script));
}

bool CRSPythonScript::LoadFromFile(const wxString& dir) {
  Script.clear();
  std::string bytes;
  if (!CFileIO::ReadBytes(CFileIO::JoinPath(dir, GetFileName()), &bytes, kMaxFileBytes))
    return false;
  Script = wxString::FromUTF8(bytes.data(), bytes.size());
  if (Script.empty() && !bytes.empty())
    Script = wxString(bytes.data(), wxConvISO8859_1, bytes.size());
  return true;
}
