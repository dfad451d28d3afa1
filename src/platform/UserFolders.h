// Where a user's own files go when the program directory is not theirs: an
// installed program belongs to root, and each user keeps the log, working
// folders and renderer cache in per-user folders of the XDG layout, and may
// add a configuration of their own. The environment and the user ID are
// seams, so that tests can place the folders anywhere.
#pragma once

#include <sys/types.h>

#include <wx/string.h>

#include <functional>

class CUserFolders {
 public:
  using Getenv = std::function<wxString(const char*)>;

  // The running process's environment, effective user and home folder.
  CUserFolders();
  CUserFolders(Getenv getenv, uid_t uid, const wxString& home);

  // True when `dir` is owned by this user: then everything of the program
  // stays in and beside it.
  bool Owns(const wxString& dir) const;

  // $XDG_STATE_HOME/kilnforge (~/.local/state/kilnforge): the user directory.
  wxString StateDir() const { return Folder("XDG_STATE_HOME", wxT(".local/state")); }
  // $XDG_CACHE_HOME/kilnforge/Renderers (~/.cache/kilnforge/Renderers).
  wxString RendererCacheDir() const {
    return Folder("XDG_CACHE_HOME", wxT(".cache")) + wxT("/Renderers");
  }
  // $XDG_CONFIG_HOME/kilnforge (~/.config/kilnforge): per-user configuration.
  wxString ConfigDir() const { return Folder("XDG_CONFIG_HOME", wxT(".config")); }

  // Creates `path` and its missing parents; folders made here are private to
  // the user (0700). True when it is a folder afterwards.
  static bool MakePrivateDirs(const wxString& path);

 private:
  // The base named by `variable` when it holds an absolute path, else
  // `fallback` under the home folder; then "/kilnforge".
  wxString Folder(const char* variable, const wxString& fallback) const;

  Getenv m_getenv;
  uid_t m_uid;
  wxString m_home;
};
