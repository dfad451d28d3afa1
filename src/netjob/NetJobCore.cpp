#include "netjob/NetJobCore.h"

#include "rs/RSRenderSet.h"

CNetJobCore::CNetJobCore() : m_renderSet(std::make_unique<CRSRenderSet>()) {}

CNetJobCore::~CNetJobCore() = default;

bool CNetJobCore::Reset(int id) {
  m_id = id;
  bool ok = SetName(wxString::Format(wxT("Unnamed job - %04i"), id));
  ok = SetPriority(kDefaultPriority) && ok;
  ok = SetUrgent(false) && ok;
  ok = SetRenderCoreCount(1) && ok;
  ok = SetSendEmails(true) && ok;
  m_splitMode.count = 0;
  m_sliceMode.mode = 0;
  m_sliceMode.x = 0;
  m_sliceMode.y = 0;
  m_sliceMode.overlap = 0;
  m_use32Bit = true;
  m_use64Bit = true;
  ok = SetClientLimit(-1) && ok;
  // -1 is out of range: the minimum client priority keeps its value.
  ok = SetMinClientPriority(-1) && ok;
  m_minClientMemory = 0;
  return id > 0 && ok;
}

bool CNetJobCore::SetName(const wxString& name) {
  if (name.empty()) return false;
  m_name = name;
  return true;
}

bool CNetJobCore::SetPriority(int priority) {
  if (priority < 1 || priority > 10) return false;
  m_priority = priority;
  return true;
}

bool CNetJobCore::SetUrgent(bool urgent) {
  m_urgent = urgent;
  return true;
}

bool CNetJobCore::SetSendEmails(bool send) {
  m_sendEmails = send;
  return true;
}

bool CNetJobCore::SetRenderCoreCount(int count) {
  if (static_cast<unsigned>(count) > 16u) return false;
  m_renderCoreCount = count;
  return true;
}

bool CNetJobCore::SetSplitMode(int mode, int count) {
  m_splitMode.mode = mode;
  m_splitMode.count = count;
  return true;
}

bool CNetJobCore::SetSliceMode(int mode, int x, int y, int overlap, const wxString& format) {
  m_sliceMode.mode = mode;
  m_sliceMode.x = x;
  m_sliceMode.y = y;
  m_sliceMode.overlap = overlap;
  m_sliceMode.format = format;
  return true;
}

bool CNetJobCore::SetClientLimit(int limit) {
  if (limit == 0) return false;
  m_clientLimit = limit;
  return true;
}

bool CNetJobCore::SetMinClientPriority(int priority) {
  if (static_cast<unsigned>(priority) - 1u > 9u) return false;
  m_minClientPriority = priority;
  return true;
}

bool CNetJobCore::SetNotes(const wxString& notes) {
  m_notes = notes.length() > kMaxNotes ? notes.Left(kMaxNotes) : notes;
  return true;
}

bool CNetJobCore::SetTags(const wxString& tags) {
  m_tags = tags.length() > kMaxTags ? tags.Left(kMaxTags) : tags;
  return true;
}

bool CNetJobCore::SetClientList(const wxArrayString& clients) {
  m_clientList = clients;
  return true;
}
