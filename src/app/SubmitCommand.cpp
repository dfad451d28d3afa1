#include "app/SubmitCommand.h"

#include <memory>

#include "app/KfJsCmdLine.h"
#include "app/KfJsCore.h"
#include "app/NetJobSubmission.h"
#include "net/NwUserCommander.h"
#include "netjob/NetJobPacketMsg.h"

CSubmitCommand::CSubmitCommand(CKfJsCore& core, CNwUserCommander& commander,
                               CKfJsCmdLine& cmdLine, CRSPool& pool, Settings settings)
    : m_core(core),
      m_commander(commander),
      m_cmdLine(cmdLine),
      m_pool(pool),
      m_settings(std::move(settings)) {}

int CSubmitCommand::Run() {
  // A submission needs the renderer definitions and the user data.
  if (!m_commander.Logon(true)) return ReportLogonFailure();
  m_core.OutputRule(wxT('='), CConsole::kRuleWidth);
  m_core.Output(wxT("Connection established, submitting net job...\n"));

  CNwUserCommander& commander = m_commander;
  CNetJobSubmission submission(
      m_cmdLine, m_pool, m_commander.GetUserData(),
      [&commander](std::unique_ptr<CNetJobPacketMsg> packet, int timeoutMs) {
        // Numbered like every message sent: its acknowledgement is matched by it.
        commander.GetEngine().AssignSerial(packet.get());
        const CNetMsgAckResult result =
            commander.SendAndWait(std::move(packet), static_cast<wxUint32>(timeoutMs));
        CNetJobSubmission::Answer answer;
        answer.code = result.GetResult();
        answer.text = result.GetText();
        answer.value1 = static_cast<int>(result.GetValue1());
        return answer;
      });
  submission.SetHostName(m_settings.hostName);
  submission.SetNameFormat(m_settings.nameFormat);
  submission.SetProgramDir(m_settings.programDir);
  submission.SetDataDir(m_settings.dataDir);
  std::unique_ptr<CNetJobPacketMsg> packet = submission.Build();

  int newId = 0;
  const bool submitted = packet != nullptr && submission.Send(std::move(packet), &newId);

  m_core.OutputNewLines(1);
  m_core.OutputRule(wxT('='), CConsole::kRuleWidth);
  m_commander.Logoff();
  m_core.OutputNewLines(1);
  return Report(submitted, newId, submission.GetFailureCode(), submission.GetFailureText());
}

int CSubmitCommand::ReportLogonFailure() {
  m_core.OutputNewLines(1);
  CJobSubmitterEngine& engine = m_commander.GetJobSubmitter();
  return Report(false, 0, engine.GetFailureCode(), engine.GetFailureText());
}

int CSubmitCommand::Report(bool submitted, int newId, int failureCode,
                           const wxString& failureText) {
  if (submitted) {
    m_core.OutputLevel(CConsole::kLevelPlain, wxT("Job submission succeeded [ID=%04i]\n"), newId);
  } else {
    m_core.OutputLevel(CConsole::kLevelError,
                       wxT("Job submission failed [code=%i]:\n%s\n\nConfiguration: %s\n"),
                       failureCode, failureText, m_settings.configFile);
  }
  m_core.OutputNewLines(1);
  if (m_cmdLine.IsReturnJobId()) return submitted ? newId : kKfExitFailure;
  return submitted ? kKfExitOk : failureCode;
}
