#include "netjob/NetJobEventList.h"

#include "settings/XSSSection.h"

bool CNetJobEventList::AddEvent(std::unique_ptr<CNetJobEvent> event) {
  if (!event) return false;
  for (size_t i = m_events.size(); i > 0; --i) {
    if (m_events[i - 1]->GetScope() == event->GetScope()) {
      m_events.insert(m_events.begin() + static_cast<std::ptrdiff_t>(i), std::move(event));
      return true;
    }
  }
  m_events.push_back(std::move(event));
  return true;
}

void CNetJobEventList::CopyFrom(const CNetJobEventList& other) {
  if (&other == this) return;
  m_events.clear();
  m_events.reserve(other.m_events.size());
  for (const auto& event : other.m_events) {
    m_events.push_back(std::make_unique<CNetJobEvent>(*event));
  }
}

void CNetJobEventList::LoadFromSection(UXSSSection& section) {
  const int count = section.GetInt(wxT("Count"), 0);
  for (int i = 0; i < count; ++i) {
    UXSSSection* source = section.FindSection(wxString::Format(wxT("Event%02i"), i), false);
    if (source == nullptr) continue;
    auto event = std::make_unique<CNetJobEvent>(
        source->GetInt(wxT("Scope"), 0), source->GetInt(wxT("Type"), 0),
        source->GetInt(wxT("Flags"), 0), source->GetString(wxT("Name"), wxEmptyString));
    if (UXSSSection* contents = source->FindSection(wxT("Contents"), false)) {
      const int lines = contents->GetInt(wxT("Count"), 0);
      for (int j = 0; j < lines; ++j) {
        event->GetContents().Add(
            Unescape(contents->GetString(wxString::Format(wxT("Entry%02i"), j), wxEmptyString)));
      }
    }
    AddEvent(std::move(event));
  }
}

wxString CNetJobEventList::Unescape(const wxString& text) {
  wxString out;
  out.reserve(text.length());
  for (auto it = text.begin(); it != text.end(); ++it) {
    if (*it != wxT('\\') || it + 1 == text.end()) {
      out += *it;
      continue;
    }
    ++it;
    switch (static_cast<wxChar>(*it)) {
      case wxT('n'): out += wxT('\n'); break;
      case wxT('r'): out += wxT('\r'); break;
      case wxT('t'): out += wxT('\t'); break;
      default: out += *it; break;
    }
  }
  return out;
}
