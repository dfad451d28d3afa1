#include "rs/RSDataCommand.h"

#include <memory>

#include "rs/RSDataImport.h"
#include "rs/RSGroup.h"
#include "rs/RSPool.h"
#include "rs/RSRenderer.h"
#include "rs/RSVersion.h"
#include "settings/Event.h"

namespace {
const wxChar* const kKindNames[] = {wxT("Pool"), wxT("Group"), wxT("Renderer"), wxT("Version")};
}

wxString CRSDataCommand::KindName(wxInt32 kind) {
  return kind >= kPool && kind <= kVersion ? wxString(kKindNames[kind - 1]) : wxString();
}

wxInt32 CRSDataCommand::KindFromName(const wxString& name) {
  for (wxInt32 kind = kPool; kind <= kVersion; ++kind) {
    if (name == kKindNames[kind - 1]) return kind;
  }
  return kNone;
}

std::unique_ptr<CRSDataImport> CRSDataCommand::CreateImport() {
  return std::make_unique<CRSDataImport>();
}

std::unique_ptr<CRSDataImport> CRSDataCommand_JS::CreateImport() {
  return std::make_unique<CRSDataImport_JS>();
}

bool CRSDataCommand::Execute(CRSPool* pool) {
  m_error.clear();
  if (pool == nullptr) {
    m_error = wxT("no renderer pool");
    return false;
  }
  if (kind < kPool || kind > kVersion) {
    m_error = wxString::Format(wxT("unknown object kind %i"), kind);
    return false;
  }
  if (mode == kModeNoText) return Remove(pool);
  std::unique_ptr<CRSDataImport> import = CreateImport();
  if (!import->Bind(pool) || !import->ParseText(text) || !import->Import(mode == kModeKeyed)) {
    m_error = import->GetError();
    return false;
  }
  return true;
}

bool CRSDataCommand::Remove(CRSPool* pool) {
  // Removing what the pool does not hold (any more) changes nothing.
  switch (kind) {
    case kGroup: {
      CRSGroup* group = pool->Groups.FindByKey(key);
      if (group != nullptr) {
        UEvent event(kEvGroupDeleted, group);
        event.Raise();
        pool->Groups.RemoveAt(static_cast<size_t>(pool->Groups.IndexOf(group)));
      }
      return true;
    }
    case kRenderer: {
      CRSRenderer* renderer = pool->Renderers.FindByKey(key);
      if (renderer != nullptr) {
        UEvent event(kEvRendererDeleted, renderer);
        event.Raise();
        pool->Renderers.RemoveAt(static_cast<size_t>(pool->Renderers.IndexOf(renderer)));
      }
      return true;
    }
    case kVersion: {
      CRSVersion* version = pool->FindVersion(key);
      if (version != nullptr && version->Renderer != nullptr) {
        UEvent event(kEvVersionDeleted, version);
        event.Raise();
        CRSVersionList& list = version->Renderer->Versions;
        list.RemoveAt(static_cast<size_t>(list.IndexOf(version)));
      }
      return true;
    }
    default:
      m_error = wxT("the pool itself cannot be removed");
      return false;
  }
}
