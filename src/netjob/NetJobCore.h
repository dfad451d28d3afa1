// The net job: one render job as the server knows it. What to render (the
// render set with its scenes), with which renderer, how frames are split into
// chunks and images into slices, which clients take part, when it starts, how
// long a chunk may run, what happens on errors, how finished frames are
// checked, and which events it carries. One is built per submission.
#pragma once

#include <wx/arrstr.h>
#include <wx/object.h>
#include <wx/string.h>

#include <memory>
#include <vector>

#include "netjob/NetJobEventList.h"

class CRSRenderSet;
class CRSVersion;

// Frame splitting: mode 1 = total pieces, 2 = frames per job.
struct NetJobSplitMode {
  int mode = 0;
  int count = 0;
};

// Image slicing: mode 1 = rows/columns, 2 = piece sizes.
struct NetJobSliceMode {
  int mode = 0;
  int x = 0;
  int y = 0;
  int overlap = 0;
  wxString format;  // name format of the slice images
};

// A start date and time given as text; the time value stays 0.0 here.
struct NetJobSchedule {
  bool enabled = false;
  double time = 0.0;
  wxString text;
};

// Rendering time limits of a chunk. Lower action 0 = restart, 1 = cancel;
// upper action 0 = restart, 1 = cancel, 2 = skip the chunk.
struct NetJobTimeThresholds {
  bool useLower = false;
  int lowerMinutes = 0;
  int lowerSeconds = 0;
  int lowerAction = 0;
  bool useUpper = false;
  int upperMinutes = 0;
  int upperSeconds = 0;
  int upperAction = 0;
};

// Verification of finished frames: method 1 = per job, 2 = per chunk.
struct NetJobFrameChecking {
  int method = 0;
  wxString imageDir;
  wxString imageName;
  int filesizeThreshold = 0;
  bool recurseSubdirs = false;
  bool exactMatch = false;
  bool disableSubsequent = false;
};

class CNetJobCore : public wxObject {
 public:
  static constexpr unsigned kNoColor = 0xFF000000u;
  static constexpr size_t kMaxNotes = 2048;
  static constexpr size_t kMaxTags = 512;
  // The priority of a new job and of a preset that names none.
  static constexpr int kDefaultPriority = 5;

  CNetJobCore();
  ~CNetJobCore() override;
  CNetJobCore(const CNetJobCore&) = delete;
  CNetJobCore& operator=(const CNetJobCore&) = delete;

  // Back to the defaults of a job with the given ID ("Unnamed job - %04i");
  // true only for a positive ID with every default accepted.
  bool Reset(int id);

  // Validating setters: false and the field unchanged when out of range.
  bool SetName(const wxString& name);
  bool SetPriority(int priority);
  bool SetUrgent(bool urgent);
  bool SetSendEmails(bool send);
  bool SetRenderCoreCount(int count);
  bool SetSplitMode(int mode, int count);
  bool SetSliceMode(int mode, int x, int y, int overlap, const wxString& format);
  bool SetClientLimit(int limit);
  bool SetMinClientPriority(int priority);
  // Cut to the first 2048 (notes) or 512 (tags) characters.
  bool SetNotes(const wxString& notes);
  bool SetTags(const wxString& tags);
  bool SetClientList(const wxArrayString& clients);

  int GetId() const { return m_id; }
  void SetId(int id) { m_id = id; }
  const wxString& GetName() const { return m_name; }
  int GetPriority() const { return m_priority; }
  void AssignPriority(int priority) { m_priority = priority; }  // unchecked (presets)
  bool IsUrgent() const { return m_urgent; }
  int GetRenderCoreCount() const { return m_renderCoreCount; }
  void AssignRenderCoreCount(int count) { m_renderCoreCount = count; }
  bool GetSendEmails() const { return m_sendEmails; }
  bool GetCacheScenesLocally() const { return m_cacheScenesLocally; }
  void SetCacheScenesLocally(bool cache) { m_cacheScenesLocally = cache; }

  // The chosen renderer version (owned by the renderer pool), or null.
  CRSVersion* GetRenderer() const { return m_renderer; }
  void SetRenderer(CRSVersion* version) { m_renderer = version; }
  bool GetUse32Bit() const { return m_use32Bit; }
  void SetUse32Bit(bool use) { m_use32Bit = use; }
  bool GetUse64Bit() const { return m_use64Bit; }
  void SetUse64Bit(bool use) { m_use64Bit = use; }

  CRSRenderSet& GetRenderSet() { return *m_renderSet; }
  const CRSRenderSet& GetRenderSet() const { return *m_renderSet; }

  NetJobSplitMode& GetSplitMode() { return m_splitMode; }
  const NetJobSplitMode& GetSplitMode() const { return m_splitMode; }
  NetJobSliceMode& GetSliceMode() { return m_sliceMode; }
  const NetJobSliceMode& GetSliceMode() const { return m_sliceMode; }
  wxArrayString& GetExtendedSplitting() { return m_extendedSplitting; }
  const wxArrayString& GetExtendedSplitting() const { return m_extendedSplitting; }
  int GetChunkDispatchOrder() const { return m_chunkDispatchOrder; }
  void SetChunkDispatchOrder(int order) { m_chunkDispatchOrder = order; }
  bool GetFirstLastFirst() const { return m_firstLastFirst; }
  void SetFirstLastFirst(bool first) { m_firstLastFirst = first; }

  CNetJobEventList& GetEvents() { return m_events; }
  const CNetJobEventList& GetEvents() const { return m_events; }

  NetJobSchedule& GetSchedule() { return m_schedule; }
  const NetJobSchedule& GetSchedule() const { return m_schedule; }
  NetJobTimeThresholds& GetTimeThresholds() { return m_timeThresholds; }
  const NetJobTimeThresholds& GetTimeThresholds() const { return m_timeThresholds; }

  int GetErrorAction() const { return m_errorAction; }
  void SetErrorAction(int action) { m_errorAction = action; }
  int GetErrorTolerance() const { return m_errorTolerance; }
  void SetErrorTolerance(int tolerance) { m_errorTolerance = tolerance; }
  bool GetIncludeRecreatedChunks() const { return m_includeRecreated; }
  void SetIncludeRecreatedChunks(bool include) { m_includeRecreated = include; }

  NetJobFrameChecking& GetFrameChecking() { return m_frameChecking; }
  const NetJobFrameChecking& GetFrameChecking() const { return m_frameChecking; }

  wxArrayString& GetClientList() { return m_clientList; }
  const wxArrayString& GetClientList() const { return m_clientList; }
  bool GetClientListAdmitsOnly() const { return m_clientListAdmitsOnly; }
  void SetClientListAdmitsOnly(bool only) { m_clientListAdmitsOnly = only; }

  std::vector<int>& GetDependencies() { return m_dependencies; }
  const std::vector<int>& GetDependencies() const { return m_dependencies; }
  int GetDependencyType() const { return m_dependencyType; }
  void SetDependencyType(int type) { m_dependencyType = type; }
  bool GetUnfinishedAsDone() const { return m_unfinishedAsDone; }
  void SetUnfinishedAsDone(bool done) { m_unfinishedAsDone = done; }

  int GetClientLimit() const { return m_clientLimit; }
  void AssignClientLimit(int limit) { m_clientLimit = limit; }  // unchecked (presets)
  int GetMinClientPriority() const { return m_minClientPriority; }
  void AssignMinClientPriority(int priority) { m_minClientPriority = priority; }
  int GetMinClientMemory() const { return m_minClientMemory; }
  void SetMinClientMemory(int gigabytes) { m_minClientMemory = gigabytes; }
  int GetMinDispatchDelay() const { return m_minDispatchDelay; }
  void SetMinDispatchDelay(int seconds) { m_minDispatchDelay = seconds; }

  const wxString& GetEmailRecipients() const { return m_emailRecipients; }
  void SetEmailRecipients(const wxString& recipients) { m_emailRecipients = recipients; }
  wxArrayString& GetEmailUsers() { return m_emailUsers; }
  const wxArrayString& GetEmailUsers() const { return m_emailUsers; }
  const wxString& GetProject() const { return m_project; }
  void SetProject(const wxString& project) { m_project = project; }
  const wxString& GetNotes() const { return m_notes; }
  const wxString& GetTags() const { return m_tags; }
  // One "Name|Value" line per custom field, joined by line feeds.
  const wxString& GetCustomFields() const { return m_customFields; }
  void SetCustomFields(const wxString& fields) { m_customFields = fields; }
  // Red + green * 256 + blue * 65536; kNoColor for none.
  unsigned GetColor() const { return m_color; }
  void SetColor(unsigned color) { m_color = color; }

 private:
  int m_id = 0;
  wxString m_name;
  int m_priority = 0;
  bool m_urgent = false;
  int m_renderCoreCount = 1;
  bool m_sendEmails = true;
  bool m_cacheScenesLocally = false;
  CRSVersion* m_renderer = nullptr;
  bool m_use32Bit = false;
  bool m_use64Bit = false;
  std::unique_ptr<CRSRenderSet> m_renderSet;
  NetJobSplitMode m_splitMode;
  NetJobSliceMode m_sliceMode;
  wxArrayString m_extendedSplitting;
  int m_chunkDispatchOrder = 0;
  bool m_firstLastFirst = false;
  CNetJobEventList m_events;
  NetJobSchedule m_schedule;
  NetJobTimeThresholds m_timeThresholds;
  int m_errorAction = 0;
  int m_errorTolerance = 0;
  bool m_includeRecreated = false;
  NetJobFrameChecking m_frameChecking;
  wxArrayString m_clientList;
  bool m_clientListAdmitsOnly = false;
  std::vector<int> m_dependencies;
  int m_dependencyType = 0;
  bool m_unfinishedAsDone = false;
  int m_clientLimit = -1;
  int m_minClientPriority = -1;
  int m_minClientMemory = 0;
  int m_minDispatchDelay = 0;
  wxString m_emailRecipients;
  wxArrayString m_emailUsers;
  wxString m_project;
  wxString m_notes;
  wxString m_tags;
  wxString m_customFields;
  unsigned m_color = kNoColor;
};
