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

  CJobSubmitterEngine() = default;

  // Keeps the commander it works for (not owned).
  bool Init(CNwUserCommander* commander);

  // The log-on sequence. On failure the connection is ended ("Login failed").
  bool Logon(const wxString& userName, const wxString& password, bool downloadRenderers);
  // Ends the connection ("Logged off").
  bool Logoff();

  // Who downloads the renderers (the data manager, set up by the run).
  void SetDownloader(Downloader downloader) { m_downloader = std::move(downloader); }

  const wxString& GetFailureText() const { return m_failureText; }
  int GetFailureCode() const { return m_failureCode; }
  const wxString& GetUserName() const { return m_userName; }

 private:
  bool Fail(int code, const wxString& text);
  // The commander's console (null before Init).
  CConsole* Console() const;

  CNwUserCommander* m_commander = nullptr;
  Downloader m_downloader;
  wxString m_userName;
  wxString m_password;
  wxString m_failureText = wxT("Submission failed");
  int m_failureCode = kFailMarshal;
};
