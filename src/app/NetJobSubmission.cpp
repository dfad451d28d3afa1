#include "app/NetJobSubmission.h"

#include <wx/filename.h>

#include <memory>

#include "app/KfJsCmdLine.h"
#include "net/JobSubmitterEngine.h"
#include "net/UserData.h"
#include "netjob/JsNetJob.h"
#include "netjob/NetJobPacketMsg.h"

CNetJobSubmission::CNetJobSubmission(CKfJsCmdLine& cmdLine, CRSPool& pool,
                                     const CUserData& userData, Sender sender)
    : m_cmdLine(cmdLine),
      m_pool(pool),
      m_userData(userData),
      m_sender(std::move(sender)),
      m_fileExists([](const wxString& path) { return wxFileName::FileExists(path); }) {}

namespace {
using Engine = CJobSubmitterEngine;  // its failure codes
}  // namespace

bool CNetJobSubmission::Fail(int code, const wxString& text) {
  m_failureCode = code;
  m_failureText = text;
  return false;
}

wxString CNetJobSubmission::FindPreset(const wxString& name) const {
  wxString file = name;
  if (!wxFileName(name).HasExt()) file += wxT(".knjprs");
  if (m_fileExists(file)) return file;
  wxString dir = m_dataDir;
  if (!dir.empty() && !dir.EndsWith(wxT("/"))) dir += wxT("/");
  const wxString inPresets = dir + wxT("Presets/NetJobs/") + file;
  if (m_fileExists(inPresets)) return inPresets;
  // The presets an installed program ships, when the user directory is
  // elsewhere.
  wxString programDir = m_programDir;
  if (!programDir.empty() && !programDir.EndsWith(wxT("/"))) programDir += wxT("/");
  const wxString shipped = programDir + wxT("Presets/NetJobs/") + file;
  if (!programDir.empty() && programDir != dir && m_fileExists(shipped)) return shipped;
  return dir + file;
}

bool CNetJobSubmission::Submit(int* newId) {
  std::unique_ptr<CNetJobPacketMsg> packet = Build();
  return packet != nullptr && Send(std::move(packet), newId);
}

std::unique_ptr<CNetJobPacketMsg> CNetJobSubmission::Build() {
  if (m_userData.GetPools().empty()) {
    Fail(Engine::kFailNoPools,
         wxT("There are no client pools assigned to your user account.\n")
             wxT("Adding net jobs is not possible without at least one pool."));
    return nullptr;
  }

  CJsNetJob job;
  job.Reset(-1);
  job.SetName(wxString::Format(wxT("Unnamed job / %s"), m_host));
  job.SetColor(m_userData.GetJobColour());
  CRSPool& pool = m_pool;
  job.SetRendererLookup(
      [&pool](const wxString& name) { return CCmdLineSupport::FindRendererVersion(pool, name); });

  for (const wxString& preset : m_cmdLine.GetPresets()) {
    if (!job.LoadPreset(FindPreset(preset))) {
      Fail(Engine::kFailCommandLine, wxT("The specified net job preset cannot be loaded."));
      return nullptr;
    }
  }

  CCmdLineSupport support(job, m_cmdLine, m_pool, &m_userData);
  support.SetNameFormat(m_nameFormat);
  support.SetProgramDir(m_programDir);
  support.SetDataDir(m_dataDir);
  if (!support.Apply()) {
    Fail(Engine::kFailCommandLine, wxT("The passed command-line is invalid or incomplete."));
    return nullptr;
  }

  auto packet = std::make_unique<CNetJobPacketMsg>();
  if (!packet->MarshalFrom(job)) {
    Fail(Engine::kFailMarshal, wxT("Unable to marshal the net job."));
    return nullptr;
  }
  m_jobName = job.GetName();
  return packet;
}

bool CNetJobSubmission::Send(std::unique_ptr<CNetJobPacketMsg> packet, int* newId) {
  const Answer answer = m_sender(std::move(packet), kSubmitTimeoutMs);
  if (answer.code != kAnswerAccepted) {
    return Fail(Engine::kFailRefused,
                wxString::Format(wxT("Submitting net job \"%s\" failed (%s)."), m_jobName,
                                 answer.text));
  }
  if (newId != nullptr) *newId = answer.value1;
  return true;
}
