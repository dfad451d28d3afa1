// The net job of a submission with net job presets: files that store a
// reusable set of settings in groups ("SelectedGroups" bits), loaded one after
// another over the job before the command line is applied.
#pragma once

#include <functional>

#include "netjob/JsNetJobBase.h"

class CDataContainer;

class CJsNetJob : public CJsNetJobBase {
 public:
  // Setting groups of a preset.
  enum {
    kGroupRenderer = 0x2,
    kGroupRenderCores = 0x4,
    kGroupChunkDispatch = 0x8,
    kGroupFrameSplitting = 0x10,
    kGroupImageSlicing = 0x20,
    kGroupClientsAndPools = 0x40,
    kGroupClientLimits = 0x80,
    kGroupNotification = 0x100,
    kGroupTimeThresholds = 0x200,
    kGroupFrameChecking = 0x400,
    kGroupEvents = 0x800,
    kGroupNotes = 0x1000,
    kGroupExtendedSplitting = 0x2000,
    kGroupErrorHandling = 0x4000,
  };

  // Finds the renderer version a preset names ("Renderer/Version", or a
  // renderer alone for its default version); null when there is none.
  using RendererLookup = std::function<CRSVersion*(const wxString& name)>;

  CJsNetJob() = default;
  ~CJsNetJob() override = default;

  void SetRendererLookup(RendererLookup lookup) { m_lookup = std::move(lookup); }

  // Loads a preset file (block layout) over the job. False when the file is
  // missing or malformed; the job is then unchanged. A preset that was read
  // is applied and counts as loaded, with or without events.
  bool LoadPreset(const wxString& path);

  int GetSelectedGroups() const { return m_selectedGroups; }
  const wxString& GetPresetText() const { return m_presetText; }

 private:
  void ApplyGroups(const CDataContainer& data);

  wxString m_presetText;
  int m_selectedGroups = -1;
  RendererLookup m_lookup;
};
