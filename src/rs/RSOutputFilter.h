// One filter that classifies a renderer's output lines: the text or pattern
// matched (the key of the filter list), what happens on a match, the message
// reported, and the lines that must not trigger it.
#pragma once

#include "rs/RSComponent.h"

#include <wx/arrstr.h>

#include <cstdint>

class CRSOutputFilter : public CRSComponent {
 public:
  CRSOutputFilter() = default;

  void Save(CDataNode& node, int mode) override;
  bool Load(const CDataNode& node, int mode) override;
  void Reset() override;
  void CopyFrom(const CRSComponent& other) override;
  wxString GetName() const override { return wxT("OutputFilter"); }

  wxString Filter;
  bool UseRegExp = false;
  int32_t Action = 1;
  wxString Message;
  int32_t MessageType = 0;
  // Stored as one text, the lines joined with line feeds.
  wxArrayString Exclusions;
};
