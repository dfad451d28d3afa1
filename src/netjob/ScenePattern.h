// Turns the free arguments of a submission into scene file names: a plain
// name stays one scene; "@" introduces a pattern, either a wildcard over one
// folder ("@renders/*.ma") or a frame-number pattern
// ("@shots/sh_###[1-10,20;2].ma") that yields one scene per number.
#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

#include <functional>

class CScenePattern {
 public:
  // Lists the plain files (no folders, not recursive) of a folder by name.
  using FolderLister = std::function<void(const wxString& folder, wxArrayString& names)>;

  // The most scene files one frame-number pattern may produce.
  static constexpr long kMaxFrames = 1000000;

  CScenePattern();

  // Replaces how folders are listed (tests).
  void SetFolderLister(FolderLister lister) { m_lister = std::move(lister); }

  // Appends the scene files of one free argument (already trimmed) to
  // `scenes`; false when the argument is an invalid pattern.
  bool Expand(const wxString& argument, wxArrayString& scenes) const;

  // Appends the files of the pattern's folder that match its mask, sorted by
  // name; false when the pattern has no folder or no mask.
  bool ExpandWildcard(const wxString& pattern, wxArrayString& scenes) const;

  // Appends one scene per frame number of a pattern holding "#".
  static bool ExpandFrames(const wxString& pattern, wxArrayString& scenes);

  // Lists a folder of the local file system (names are UTF-8 on disk).
  static void ListFolder(const wxString& folder, wxArrayString& names);

 private:
  FolderLister m_lister;
};
