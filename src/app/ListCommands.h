// The read-only listings of the remote controller: the user's client pools,
// the renderers of the pool (decorated, one renderer ID per line with
// -compact, or with their capability bits) and the render settings of one
// renderer version (with -subm also a line for machines). Each listing shows
// its lines even though the command runs quiet, and leaves quiet as it was.
#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

class CKfJsCore;
class CRSParameter;
class CRSPool;

class CListCommands {
 public:
  CListCommands(CKfJsCore& core, bool compact, bool subm)
      : m_core(core), m_compact(compact), m_subm(subm) {}

  // The names of the pools, each entry being identifier, "|" and name.
  void ListPools(const wxArrayString& pools);
  // Every available group and renderer in name order, letter case ignored;
  // a non-empty `group` keeps only that group (letter case ignored).
  void ListRenderers(const CRSPool& pool, const wxString& group, bool capabilities);
  // The settable parameters of "Renderer/Version", or of the renderer's
  // default version when no version is named. An unknown one prints nothing.
  void ListParams(const CRSPool& pool, const wxString& rendererId);

  // The value text of the machine line: "True=..;False=.." of a boolean,
  // the "name=value" pairs of an enumeration, else empty.
  static wxString FormatValueText(const CRSParameter& parameter);

 private:
  void PrintHeader(const wxString& title);
  void PrintParameter(const CRSParameter& parameter);

  CKfJsCore& m_core;
  bool m_compact;
  bool m_subm;
};
