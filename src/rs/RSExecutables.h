// The executable a render client starts, per operating system and word size,
// with the places to search for it, and a free info text.
#pragma once

#include "rs/RSComponent.h"

class CRSExecutables : public CRSComponent {
 public:
  struct Entry {
    wxString Bit32;            // "_32bit"
    wxString Bit32SearchPath;  // "_32bit_SearchPath"
    wxString Bit64;            // "_64bit"
    wxString Bit64SearchPath;  // "_64bit_SearchPath"
  };

  CRSExecutables() = default;

  void Save(CDataNode& node, int mode) override;
  // An operating-system element that is missing leaves its entry unchanged.
  bool Load(const CDataNode& node, int mode) override;
  void Reset() override;
  void CopyFrom(const CRSComponent& other) override;
  wxString GetName() const override { return wxT("Executables"); }
  wxString GetFileName() const override { return wxT("Executables.xml"); }

  Entry Windows;
  Entry Linux;
  Entry Macintosh;
  wxString Info;
};
