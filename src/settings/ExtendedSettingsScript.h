// The program's settings text format. One document holds a tree of sections
// and typed values under a root section named "root", and reads and writes it
// in two layouts:
//   block (mode 0): a section name on its own line, its content between "{"
//     and "}" lines, "//" comments, strings in double quotes;
//   INI (mode 1): "[Dotted.Section.Path]" header lines, ";" and "#" comments,
//     unquoted strings.
// Values are addressed from the root as "Section.Path::Key", e.g.
//   doc.GetRootSection().GetInt(wxT("RemoteController.Server::ServerPort"), 7506)
// Files are read as UTF-8 with any line end and written with CR LF.
#pragma once

#include <wx/string.h>

#include "settings/XSSSection.h"
#include "settings/XSSValue.h"

class UExtendedSettingsScript {
 public:
  static constexpr int kBlock = UXSSValue::kBlock;
  static constexpr int kIni = UXSSValue::kIni;

  UExtendedSettingsScript() : m_root(wxT("root")) {}

  UExtendedSettingsScript(const UExtendedSettingsScript&) = delete;
  UExtendedSettingsScript& operator=(const UExtendedSettingsScript&) = delete;

  // Replaces the tree with the content of a file. An empty name means the
  // file last loaded or saved. False for a missing or unreadable file and for
  // a block file with an invalid line, unbalanced braces or a section name
  // not followed by "{"; what was parsed before the fault stays in the tree.
  bool Load(const wxString& fileName, int mode);
  // The same on text already in memory; the stored file name is kept.
  bool LoadFromText(const wxString& text, int mode);

  // Writes the whole tree in the given layout, replacing the file
  // atomically. False for an unknown mode (the file is then left alone) or
  // when the file cannot be written.
  bool Save(const wxString& fileName, int mode);
  // The text Save would write (CR LF line ends); false for an unknown mode.
  bool FormatText(int mode, wxString* text) const;

  UXSSSection& GetRootSection() { return m_root; }
  const UXSSSection& GetRootSection() const { return m_root; }
  const wxString& GetFileName() const { return m_fileName; }
  int GetMode() const { return m_mode; }

 private:
  wxString m_fileName;
  int m_mode = kBlock;
  UXSSSection m_root;
};
