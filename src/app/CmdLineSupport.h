// Turns the command line into the net job about to be submitted: picks the
// renderer version, fills the render set (scene files, render set file,
// render settings given as switches, the renderer's defaults) and applies
// every "-nj_*" switch with its checks, limits and messages. Errors are
// reported as command-line errors and stop the submission.
#pragma once

#include <wx/arrstr.h>
#include <wx/object.h>
#include <wx/string.h>

#include "netjob/ScenePattern.h"

class CJsNetJob;
class CKfJsCmdLine;
class CRSPool;
class CRSVersion;
class CUserData;

class CCmdLineSupport : public wxObject {
 public:
  // `userData` may be null: no limits known (priority up to 10), no rights,
  // no pools.
  CCmdLineSupport(CJsNetJob& job, CKfJsCmdLine& cmdLine, CRSPool& pool,
                  const CUserData* userData);

  // The configured net job name format ("$(scene)" stands for the file name
  // of the first scene); "Unnamed job - $(scene)" when empty.
  void SetNameFormat(const wxString& format) { m_nameFormat = format; }
  // The program directory, where render set files are looked for.
  void SetProgramDir(const wxString& dir) { m_programDir = dir; }
  // The user directory, whose "Presets/NetJobs" holds render sets too.
  void SetDataDir(const wxString& dir) { m_dataDir = dir; }
  CScenePattern& GetScenePattern() { return m_scenes; }

  // Applies the whole command line in order: renderer, render settings,
  // then the net job switches. False at the first error (already reported).
  bool Apply();

  bool ApplyRenderer();
  bool ApplyRenderSettings();
  bool ApplySwitches();

  // Finds a version by "Renderer/Version", or a renderer's default version
  // by the renderer name alone; null when either is unknown.
  static CRSVersion* FindRendererVersion(CRSPool& pool, const wxString& name);

  // Resolves "\n", "\r" and "\t"; other backslashes stay as they are.
  static wxString DecodeEscapes(const wxString& text);

 private:
  bool Error(const wxString& message, const wxString& switchName);
  bool CheckUndeclaredSwitches();
  bool ImportRenderSet();
  bool AddSceneFiles();
  void SetRenderSettingsFromSwitches();

  bool ApplyName();
  bool ApplyPools();
  bool ApplyPriority();
  bool ApplySplitting();
  void ApplyExtendedSplitting();
  bool ApplyFrameChecking();
  void ApplyDependencies();
  bool ApplyLimits();
  void ApplyTimeThreshold(bool upper);
  bool ApplyErrorHandling();
  void ApplyTexts();
  void ApplyClients();

  bool Text(const wxString& name, wxString& value) const;
  bool Number(const wxString& name, int& value) const;
  bool Flag(const wxString& name) const;

  CJsNetJob& m_job;
  CKfJsCmdLine& m_cmdLine;
  CRSPool& m_pool;
  const CUserData* m_userData;
  wxString m_nameFormat;
  wxString m_programDir;
  wxString m_dataDir;
  CScenePattern m_scenes;
};
