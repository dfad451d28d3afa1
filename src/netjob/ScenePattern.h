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
  // What the scene files of one submission may fill in the net job packet,
  // counted over all arguments together: the name (UTF-8) and the element
  // that carries it. Well below the packet limit, so that the names, the
  // tree and the packet built from them stay within the client's memory.
  static constexpr size_t kMaxPacketBytes = 64u * 1024 * 1024;
  static constexpr size_t kPacketBytesPerScene = 20;

  CScenePattern();

  // Starts a new submission with the whole budget (tests give a smaller one).
  void ResetBudget(size_t bytes = kMaxPacketBytes) {
    m_budget = bytes;
    m_tooLarge = false;
  }
  // Whether the last failed expansion failed because the budget ran out;
  // nothing was added for it then.
  bool IsTooLarge() const { return m_tooLarge; }

  // Replaces how folders are listed (tests).
  void SetFolderLister(FolderLister lister) { m_lister = std::move(lister); }

  // Appends the scene files of one free argument (already trimmed) to
  // `scenes`; false when the argument is an invalid pattern.
  bool Expand(const wxString& argument, wxArrayString& scenes) const;

  // Appends the files of the pattern's folder that match its mask, sorted by
  // name; false when the pattern has no folder or no mask.
  bool ExpandWildcard(const wxString& pattern, wxArrayString& scenes) const;

  // Appends one scene per frame number of a pattern holding "#"; the whole
  // expansion is weighed against the budget before anything is built.
  bool ExpandFrames(const wxString& pattern, wxArrayString& scenes) const;

  // Lists a folder of the local file system (names are UTF-8 on disk).
  static void ListFolder(const wxString& folder, wxArrayString& names);

 private:
  // Takes `bytes` from the budget; false (and nothing taken) when they do
  // not fit.
  bool Spend(size_t bytes) const;

  FolderLister m_lister;
  mutable size_t m_budget = kMaxPacketBytes;
  mutable bool m_tooLarge = false;
};
