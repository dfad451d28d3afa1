// One net job submission after the log-on: builds the net job (defaults,
// user colour, presets, command line) and marshals it into the packet, then
// sends it and reads the new job's ID from the answer; a failure keeps the
// code that becomes the exit code and the text that is printed.
#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

#include <functional>
#include <memory>

#include "app/CmdLineSupport.h"

class CNetJobPacketMsg;

class CNetJobSubmission {
 public:
  // The result code of an accepted packet.
  static constexpr int kAnswerAccepted = 1;
  // The server's answer to the packet: result code, its text, and value 1
  // (the new job's ID).
  struct Answer {
    int code = -1;
    wxString text = wxT("message timeout");
    int value1 = 0;
  };
  // Sends the packet and waits up to `timeoutMs` for the answer.
  using Sender =
      std::function<Answer(std::unique_ptr<CNetJobPacketMsg> packet, int timeoutMs)>;
  // Whether a file exists (tests replace it).
  using FileCheck = std::function<bool(const wxString& path)>;

  static constexpr int kSubmitTimeoutMs = 150000;

  CNetJobSubmission(CKfJsCmdLine& cmdLine, CRSPool& pool, const CUserData& userData,
                    Sender sender);

  // The computer's name for the default job name "Unnamed job / HOST".
  void SetHostName(const wxString& host) { m_host = host; }
  void SetNameFormat(const wxString& format) { m_nameFormat = format; }
  void SetProgramDir(const wxString& dir) { m_programDir = dir; }
  // The folder presets are looked for in (the user folder when one is set).
  void SetDataDir(const wxString& dir) { m_dataDir = dir; }
  void SetFileCheck(FileCheck check) { m_fileExists = std::move(check); }

  // The packet of the command line's net job; null when it cannot be built.
  std::unique_ptr<CNetJobPacketMsg> Build();
  // True when the server accepted the packet; `newId` then holds its ID.
  bool Send(std::unique_ptr<CNetJobPacketMsg> packet, int* newId);
  // Build and Send.
  bool Submit(int* newId);

  // Where a preset named on the command line is read from: the name as
  // given (with "knjprs" when it has no extension), else in
  // "Presets/NetJobs/" of the data folder, else in the data folder.
  wxString FindPreset(const wxString& name) const;

  int GetFailureCode() const { return m_failureCode; }
  const wxString& GetFailureText() const { return m_failureText; }

 private:
  bool Fail(int code, const wxString& text);

  CKfJsCmdLine& m_cmdLine;
  CRSPool& m_pool;
  const CUserData& m_userData;
  Sender m_sender;
  FileCheck m_fileExists;
  wxString m_host;
  wxString m_nameFormat;
  wxString m_programDir;
  wxString m_dataDir;
  // The built job's name, for the report of a refusal.
  wxString m_jobName;
  int m_failureCode = 1;
  wxString m_failureText = wxT("Submission failed");
};
