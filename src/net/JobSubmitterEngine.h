// The step-by-step client of the server: connects, challenges, logs in, has
// the renderer definitions downloaded and asks for the user data, printing a
// progress line before each step. The first step that fails leaves its
// failure text and code here; the run turns them into the failure report and
// the exit code.
#pragma once

#include <wx/object.h>
#include <wx/string.h>

#include <functional>

class CConsole;
class CNwUserCommander;

class CJobSubmitterEngine : public wxObject {
 public:
  // Failure codes.
  static constexpr int kFailMarshal = 1;  // also the initial code
  static constexpr int kFailConnect = 4;
  static constexpr int kFailLogin = 5;
  static constexpr int kFailData = 6;
  static constexpr int kFailCommandLine = 7;
  static constexpr int kFailNoPools = 8;
  static constexpr int kFailRefused = 9;

  static constexpr wxUint32 kRequestTimeoutMs = 30000;

  // Runs the renderer download of the log-on; true when the pool is loaded.
  using Downloader = std::function<bool()>;
  // Builds, sends and waits for the net job of the command line; true with
  // the new ID when the server accepted it, else false after Fail().
  using Submission = std::function<bool(CJobSubmitterEngine& engine, int* newId)>;

  CJobSubmitterEngine() = default;

  // Keeps the commander it works for (not owned).
  bool Init(CNwUserCommander* commander);

  // The log-on sequence. On failure the connection is ended ("Login failed").
  bool Logon(const wxString& userName, const wxString& password, bool downloadRenderers);
  // Ends the connection ("Logged off").
  bool Logoff();

  // Submits the net job built from the command line.
  bool SubmitNetJob(int* newId);

  // Who downloads the renderers (the data manager, set up by the run).
  void SetDownloader(Downloader downloader) { m_downloader = std::move(downloader); }
  // Who builds and sends the net job.
  void SetSubmission(Submission submission) { m_submission = std::move(submission); }

  const wxString& GetFailureText() const { return m_failureText; }
  int GetFailureCode() const { return m_failureCode; }
  // Records the failure of a later step (the submission) in the same place.
  bool Fail(int code, const wxString& text);

  const wxString& GetUserName() const { return m_userName; }

 private:
  // The commander's console (null before Init).
  CConsole* Console() const;

  CNwUserCommander* m_commander = nullptr;
  Downloader m_downloader;
  Submission m_submission;
  wxString m_userName;
  wxString m_password;
  wxString m_failureText = wxT("Submission failed");
  int m_failureCode = kFailMarshal;
};
