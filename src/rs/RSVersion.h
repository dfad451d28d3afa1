// One version of a renderer ("Renderer/Version" is its ID). A version holds
// its own eight components; single parameters, switches and output filters
// may be marked as inherited from the renderer.
#pragma once

#include "rs/RSCoreRenderer.h"

class CRSRenderer;

class CRSVersion : public CRSCoreRenderer {
 public:
  // Capability bits derived from the effective parameters.
  enum : int32_t {
    kCapOutFile = 0x10000, kCapOutDir = 0x20000, kCapProjDir = 0x40000, kCapCamera = 0x80000,
    kCapCameraSplitting = 0x100000, kCapLayer = 0x200000, kCapLayerSplitting = 0x400000,
    kCapFrames = 0x800000, kCapFrameStep = 0x1000000, kCapImageSize = 0x2000000,
  };

  CRSVersion() = default;

  void Save(CDataNode& node, int mode) override;
  bool Load(const CDataNode& node, int mode) override;
  void Reset() override;
  // Deletes the component files and the version's directory when it is empty.
  void Delete() override;
  // A missing bit is asked of the renderer.
  bool HasCapabilities(int32_t mask) const override;

  // "Renderer/Version", or the version's name alone without a renderer.
  wxString GetID() const;
  // The renderer's capabilities and the version's together.
  int32_t GetCapabilities() const;
  // Fills the non-owning `list` with the parameters that apply to this
  // version: the renderer's parameters it does not define, in the renderer's
  // order, then its own, inherited ones replaced by the renderer's. A
  // parameter inherited and disabled is left out.
  void GetEffectiveParameters(CRSParameterList& list) const;
  int32_t GetParameterCapabilities() const;
  // Drops the inherited parameters, switches and output filters that the
  // renderer does not define itself, as loading the version does.
  void DropUndefinedInherited();

  CRSRenderer* Renderer = nullptr;
  wxString Name;
  wxString Description;
  bool DefaultVersion = false;
  bool Visible = false;
};
