#include "netjob/JsNetJobBase.h"

bool CJsNetJobBase::AddPool(const wxString& pool) {
  if (m_pools.Index(pool, true) != wxNOT_FOUND) return false;
  m_pools.Add(pool);
  return true;
}

bool CJsNetJobBase::RemovePool(const wxString& pool) {
  if (pool.empty()) {
    m_pools.clear();
  } else {
    const int index = m_pools.Index(pool, true);
    if (index != wxNOT_FOUND) m_pools.RemoveAt(static_cast<size_t>(index));
  }
  return true;
}
