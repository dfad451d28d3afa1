// How a render client starts the renderer: quoting and slash options and the
// ordered switch list. Required in every renderer and version.
#pragma once

#include "rs/RSComponent.h"
#include "rs/RSSwitchList.h"

class CRSCommandLine : public CRSComponent {
 public:
  CRSCommandLine() : CRSComponent(true) {}

  void Save(CDataNode& node, int mode) override;
  // Fails without a "Switches" child; a version's command line drops the
  // inherited switches that its renderer does not define itself.
  bool Load(const CDataNode& node, int mode) override;
  // Drops from a version's command line the inherited switches that its
  // renderer does not define itself.
  void DropUndefinedInherited();
  void Reset() override;
  void CopyFrom(const CRSComponent& other) override;
  wxString GetName() const override { return wxT("CommandLine"); }
  wxString GetFileName() const override { return wxT("CommandLine.xml"); }
  // The switch list shares this command line's owner.
  bool OnAttached() override { return Switches.Attach(Owner); }

  bool ForceQuotes = false;
  bool ForceQuotesStringOnly = false;
  bool UseFwdSlashes = false;
  bool UseBwdSlashes = false;
  bool EncodeSlashes = false;
  bool OverrideParentOptions = false;
  bool OverrideParentSlashOptions = false;
  CRSSwitchList Switches;
};
