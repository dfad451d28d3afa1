#include "rs/RSDataExchange.h"

#include "platform/Utf8.h"
#include "rs/DataXMLSerializer.h"
#include "rs/RSDataCommand.h"
#include "rs/RSPool.h"

bool CRSDataExchange::LoadFile(const wxString& path) {
  CDataXMLSerializer serializer(&m_root);
  m_root.Reset();
  if (!serializer.LoadFile(path)) {
    m_error = serializer.GetError();
    if (m_error.empty()) m_error = wxT("cannot read ") + path;
    return false;
  }
  return true;
}

bool CRSDataExchange::ParseText(const wxString& text) { return ParseUTF8(utf8text::From(text)); }

bool CRSDataExchange::ParseUTF8(const std::string& bytes) {
  CDataXMLSerializer serializer(&m_root);
  return serializer.ParseUTF8(bytes) || ParseFailed(serializer);
}

bool CRSDataExchange::ParseFailed(const CDataXMLSerializer& serializer) {
  m_error = serializer.GetError();
  if (m_error.empty()) m_error = wxT("the document is not well-formed");
  return false;
}

bool CRSDataExchange::SaveFile(const wxString& path) {
  CDataXMLSerializer serializer(&m_root);
  if (!serializer.SaveFile(path)) {
    m_error = wxT("cannot write ") + path;
    return false;
  }
  return true;
}

wxString CRSDataExchange::ToText() const {
  CDataXMLSerializer serializer(const_cast<CDataNode*>(&m_root));
  return serializer.ToText();
}

void CRSDataExchange::PrepareDocument(wxInt32 kind) {
  m_root.Reset();
  m_root.GetValue().Clear();
  m_root.SetName(wxT("DataRoot"));
  m_kind = kind;
  m_root.AddChild("ContentType", CRSDataCommand::KindName(kind) + wxT("/") +
                                     wxString::FromCDouble(kFormatVersion, 1));
}

wxInt32 CRSDataExchange::GetDocumentKind() const {
  const CDataNode* type = m_root.FindChild("ContentType");
  return type == nullptr ? 0 : KindOfType(*type);
}

wxInt32 CRSDataExchange::KindOfType(const CDataNode& type) {
  return CRSDataCommand::KindFromName(type.GetText().BeforeFirst(wxT('/')).Trim(true).Trim(false));
}

bool CRSDataExchange::Bind(CRSPool* pool) {
  if (pool == nullptr || pool->Path.empty()) {
    m_error = wxT("no renderer pool to work with");
    return false;
  }
  m_pool = pool;
  return true;
}
