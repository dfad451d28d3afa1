// Small file helpers shared by the data tree and the render-system objects.
// Paths are converted with UTF-8, never with the C locale. Files that another
// run of the program may read at the same time are replaced atomically: the
// bytes go to a temporary file in the same folder, which is then renamed.
#pragma once

#include <wx/string.h>

#include <string>

namespace rsfile {

// Reads the whole file. False when it is not a regular file (a folder, a
// pipe, a device) or cannot be opened or fully read.
bool ReadFile(const wxString& path, std::string* bytes);

// Writes `size` bytes to a temporary file beside `path` (permissions 0666
// before the umask) and renames it over `path`.
bool WriteFileAtomic(const wxString& path, const char* data, size_t size);
inline bool WriteFileAtomic(const wxString& path, const std::string& bytes) {
  return WriteFileAtomic(path, bytes.data(), bytes.size());
}

bool FileExists(const wxString& path);
bool DirExists(const wxString& path);
// Removes the file when it exists; true when it is gone afterwards.
bool RemoveFile(const wxString& path);
// Removes the directory when it exists and is empty.
bool RemoveDirIfEmpty(const wxString& path);
// Creates the directory and its missing parents.
bool MakeDirs(const wxString& path);

// `dir` and `name` joined with one "/".
wxString JoinPath(const wxString& dir, const wxString& name);

}  // namespace rsfile
