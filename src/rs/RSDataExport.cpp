#include "rs/RSDataExport.h"

#include "rs/RSDataCommand.h"
#include "rs/RSPool.h"
#include "settings/Event.h"

bool CRSDataExport::ExportPool(bool identitiesOnly) {
  if (m_pool == nullptr) {
    m_error = wxT("no renderer pool to export");
    return false;
  }
  PrepareDocument(CRSDataCommand::kPool);
  CDataNode* content = m_root.AddChild("Content");
  m_pool->Groups.Save(*content, identitiesOnly ? 3 : 1);
  if (!identitiesOnly) {
    UEvent event(kEvDataExported, this);
    event.Raise();
  }
  return true;
}
