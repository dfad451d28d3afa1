// A console for tests: keeps everything printed, level prefixes included, in
// one text, in place of the program's console.
#pragma once

#include <wx/string.h>

#include "platform/Console.h"

class RecordingConsole : public CConsole {
 public:
  void OutputText(const wxString& text) override { this->text += text; }
  void OutputLevelText(int level, const wxString& text) override {
    OutputText(LevelPrefix(level) + text);
  }

  wxString text;
};
