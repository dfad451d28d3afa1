// What a renderer and a renderer version have in common: a directory, the
// eight components (enabled by a bit mask and always visited in bit order),
// and capability bits. A version points to its renderer as its upper object.
#pragma once

#include "rs/RSCommandLine.h"
#include "rs/RSEnvironment.h"
#include "rs/RSExecutables.h"
#include "rs/RSObject.h"
#include "rs/RSOutputFilterList.h"
#include "rs/RSParameterList.h"
#include "rs/RSPythonScript.h"
#include "rs/RSReturnCodes.h"
#include "rs/RSTemplate.h"

#include <cstdint>
#include <vector>

class CRSCoreRenderer : public CRSObject {
 public:
  // Component bits, in the order components are visited.
  enum : uint32_t {
    kParameters = 1, kCommandLine = 2, kExecutables = 4, kReturnCodes = 8,
    kOutputFilters = 16, kScript = 32, kTemplate = 64, kEnvironment = 128,
  };

  CRSCoreRenderer() = default;
  ~CRSCoreRenderer() override = default;

  // Stores the path, the upper object and the mask, and attaches the enabled
  // components; false when one cannot be attached.
  bool Init(const wxString& path, CRSCoreRenderer* upper, uint32_t mask);

  // True when every bit of `mask` is among the capabilities.
  virtual bool HasCapabilities(int32_t mask) const;

  // The mask back to 0xFFFF, capabilities to 0, every component reset.
  void Reset() override;

  // Each enabled component as a child element named after it.
  void SaveComponents(CDataNode& node, int mode);
  // Resets each enabled component and loads it from its child element; a
  // missing or failing required component fails the load.
  bool LoadComponents(const CDataNode& node, int mode);
  // Deletes the files of the enabled components.
  void DeleteComponents();

  const std::vector<CRSComponent*>& GetComponents() const { return m_components; }

  CRSCoreRenderer* Upper = nullptr;
  wxString Path;
  CRSParameterList Parameters;
  CRSCommandLine CommandLine;
  CRSExecutables Executables;
  CRSReturnCodes ReturnCodes;
  CRSOutputFilterList OutputFilters;
  CRSPythonScript Script;
  CRSTemplate Template;
  CRSEnvironment Environment;
  uint32_t ComponentMask = 0xFFFF;
  int32_t Capabilities = 0;

 private:
  std::vector<CRSComponent*> m_components;
};
