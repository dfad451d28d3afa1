#include "app/ControlCommands.h"

#include <wx/arrstr.h>

#include <vector>

#include "netjob/IntRange.h"
#include "app/KfJsCore.h"
#include "net/ServerControlSender.h"
#include "platform/StringUtil.h"

namespace {

// Chunks are sent in batches so that a huge range never needs a huge list.
constexpr size_t kChunkBatch = 1024;

using strutil::Trimmed;

// Each entry of `text` ("verb:targets") as verb and target text.
template <typename Handler>
void ForEachEntry(const wxString& text, Handler handle) {
  for (const wxString& entry : strutil::Split(text, wxT(';'))) {
    const wxArrayString fields = strutil::Split(entry, wxT(':'));
    const wxString verb = fields.GetCount() > 0 ? Trimmed(fields[0]) : wxString();
    const wxString targets = fields.GetCount() > 1 ? fields[1] : wxString();
    handle(verb, targets);
  }
}

// The decimal number of `text`; false when it is none.
bool ReadInt(const wxString& text, int* value) {
  long number = 0;
  const wxString trimmed = Trimmed(text);
  if (trimmed.empty() || !trimmed.ToLong(&number) || number < INT32_MIN || number > INT32_MAX) {
    return false;
  }
  *value = static_cast<int>(number);
  return true;
}

}  // namespace

void CControlCommands::Run(const wxString& netJobs, const wxString& chunks,
                           const wxString& pools) {
  const bool quiet = m_core.IsQuiet();
  m_core.SetQuiet(false);
  if (!netJobs.empty()) ControlNetJobs(netJobs);
  if (!chunks.empty()) ControlChunks(chunks);
  if (!pools.empty()) ControlPools(pools);
  m_core.SetQuiet(quiet);
}

void CControlCommands::ControlNetJobs(const wxString& text) {
  ForEachEntry(text, [this](const wxString& verb, const wxString& targets) {
    if (CServerControlSender::FindNetJobVerb(verb) == 0) return;
    std::vector<int> ids;
    for (const wxString& piece : strutil::Split(targets, wxT(','))) {
      int id = 0;
      if (ReadInt(piece, &id)) ids.push_back(id);
    }
    m_sender.ControlNetJobs(verb, ids);
  });
}

void CControlCommands::ControlChunks(const wxString& text) {
  ForEachEntry(text, [this](const wxString& verb, const wxString& targets) {
    if (CServerControlSender::FindChunkVerb(verb) == 0) return;
    int netJobId = 0;
    if (targets.Find(wxT('@')) == wxNOT_FOUND ||
        !ReadInt(targets.AfterFirst(wxT('@')), &netJobId)) {
      return;
    }
    std::vector<int> chunks;
    for (const wxString& piece : strutil::Split(targets.BeforeFirst(wxT('@')), wxT(','))) {
      IntRange range;
      if (!range.FromString(Trimmed(piece))) continue;
      for (long long chunk = range.GetFrom(); chunk <= range.GetTo(); ++chunk) {
        chunks.push_back(static_cast<int>(chunk));
        if (chunks.size() == kChunkBatch) {
          m_sender.ControlChunks(verb, netJobId, chunks);
          chunks.clear();
        }
      }
    }
    if (!chunks.empty()) m_sender.ControlChunks(verb, netJobId, chunks);
  });
}

void CControlCommands::ControlPools(const wxString& text) {
  ForEachEntry(text, [this](const wxString& verb, const wxString& targets) {
    if (CServerControlSender::FindPoolVerb(verb) == 0) return;
    wxArrayString names;
    for (const wxString& piece : strutil::Split(targets, wxT(','))) {
      const wxString name = Trimmed(piece);
      if (!name.empty()) names.Add(name);
    }
    m_sender.ControlPools(verb, names);
  });
}
