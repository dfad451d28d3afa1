// Whole-file reading and writing for the settings files and every other file
// that a second run of the program may read at the same time. Text is read as
// UTF-8 (a byte-order mark is honoured); files are replaced atomically, so a
// reader sees either the old or the new content, never half a file.
#pragma once

#include <wx/string.h>

#include <string>

class CFileIO {
 public:
  // What a settings file (configuration, defaults, environment, preset,
  // update control) may hold; a larger one is unreadable.
  static constexpr size_t kMaxSettingsBytes = 4u * 1024 * 1024;

  // Reads a regular file completely. False when it does not exist, is not a
  // regular file (a folder, a pipe, a device), is larger than `maxBytes`
  // (checked before anything is allocated) or cannot be fully read.
  static bool ReadBytes(const wxString& path, std::string* bytes,
                        size_t maxBytes = kMaxSettingsBytes);

  // Reads a regular file as text: UTF-8, UTF-16 with a byte-order mark, and
  // anything that is not valid UTF-8 as Latin-1 so that no byte is lost.
  static bool ReadText(const wxString& path, wxString* text, size_t maxBytes = kMaxSettingsBytes);
  static wxString DecodeText(const std::string& bytes);

  // Writes `bytes` to a new file in the same folder and renames it over
  // `path`. An existing regular file keeps its permission bits unless
  // `keepMode` is false; a new one gets `mode` (subject to the umask). A link
  // at `path` is replaced, never followed. On failure `path` is unchanged.
  static bool WriteAtomically(const wxString& path, const std::string& bytes, int mode = 0666,
                              bool keepMode = true);

  // Creates an empty file in the folder of `path`, renames it over `path` at
  // once and returns its descriptor, open for writing. A second process that
  // does the same later gets a file of its own: what each writes never mixes.
  // A link at `path` is replaced, never followed; where no file can be
  // created beside `path` (the folder is not writable) the result is -1 and
  // `path` is left alone. A pipe or device at `path` is written in place; a
  // pipe that nobody reads fails. -1 on failure.
  static int CreateReplacing(const wxString& path, int mode = 0666);

  static bool Exists(const wxString& path);
  static bool IsFile(const wxString& path);
  static bool IsDir(const wxString& path);
  // Removes a file; true when it is gone afterwards.
  static bool Remove(const wxString& path);
  // Removes the directory when it exists and is empty.
  static bool RemoveDirIfEmpty(const wxString& path);
  // Creates the directory and its missing parents.
  static bool MakeDirs(const wxString& path);
  // `dir` and `name` joined with one "/".
  static wxString JoinPath(const wxString& dir, const wxString& name);

 private:
  // How many fresh temporary names are tried before giving up.
  static constexpr int kTempAttempts = 100;
  static std::string TempNameFor(const std::string& target);
  // A new file beside `target` (O_CREAT|O_EXCL|O_NOFOLLOW); its name in
  // `temp`. -1 when none could be created.
  static int CreateTemp(const std::string& target, int mode, std::string* temp);
};
