// The submission as the run starts it: everything it needs is reached through
// the process-wide core.
#include "app/NetJobSubmission.h"

#include "app/KfJsCmdLine.h"
#include "app/KfJsCore.h"
#include "net/JobSubmitterEngine.h"
#include "net/NwUserCommander.h"
#include "netjob/NetJobPacketMsg.h"
#include "platform/Machine.h"
#include "rs/RSPool.h"

bool CNetJobSubmission::SubmitForEngine(CJobSubmitterEngine& engine, int* newId) {
  CKfJsCore* core = CKfJsCore::Get();
  CNwUserCommander* commander = core != nullptr ? core->GetCommander() : nullptr;
  CKfJsCmdLine* cmdLine = core != nullptr ? const_cast<CKfJsCmdLine*>(core->GetCmdLine()) : nullptr;
  if (commander == nullptr || cmdLine == nullptr) return engine.Fail(1, wxT("Submission failed"));

  CNetJobSubmission submission(
      *cmdLine, core->GetPool(), commander->GetUserData(),
      [commander](CNetJobPacketMsg* packet, int timeoutMs) {
        // Numbered like every message sent: its acknowledgement is matched by it.
        commander->GetEngine().AssignSerial(packet);
        const CNetMsgAckResult result =
            commander->SendAndWait(packet, static_cast<wxUint32>(timeoutMs));
        Answer answer;
        answer.code = result.GetResult();
        answer.text = result.GetText();
        answer.value1 = static_cast<int>(result.GetValue1());
        return answer;
      });
  submission.SetHostName(MachineHostName());
  submission.SetNameFormat(core->GetOptions().GetSettings().netJobNameFormat);
  submission.SetProgramDir(core->GetProgramDir());
  submission.SetDataDir(core->GetDataPath(wxString(), true));
  if (submission.Submit(newId)) return true;
  return engine.Fail(submission.GetFailureCode(), submission.GetFailureText());
}
