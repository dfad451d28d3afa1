// Where the program's console text goes. The components below the
// application print through one of these, handed to them by whoever creates
// them, so that they need to know nothing of the core that owns the console
// (its quiet mode, its log copy). A component given none prints nothing.
#pragma once

#include <wx/string.h>

class CConsole {
 public:
  // Output levels; a level out of range prints as plain.
  static constexpr int kLevelPlain = 0;
  static constexpr int kLevelWarning = 1;
  static constexpr int kLevelError = 2;
  static constexpr int kLevelDebug = 3;
  // The width of the rules that frame the program's sections.
  static constexpr int kRuleWidth = 75;

  virtual ~CConsole() = default;

  // Formats like printf and prints the result exactly as formatted.
  template <typename... Args>
  void Output(const wxString& format, Args... args) {
    OutputText(Format(format, args...));
  }

  // Level 0 plain, 1 "WARNING! ", 2 "ERROR! ", 3 "DEBUG! ".
  template <typename... Args>
  void OutputLevel(int level, const wxString& format, Args... args) {
    OutputLevelText(level, Format(format, args...));
  }

  // Writes `count` times `character` and a line feed.
  void OutputRule(wxChar character, int count);
  void OutputNewLines(int count);

  // Prints already formatted text: it is never used as a format.
  virtual void OutputText(const wxString& text) = 0;
  virtual void OutputLevelText(int level, const wxString& text) = 0;

 protected:
  // The prefix of a level's lines ("" for a level out of range).
  static const wxChar* LevelPrefix(int level);

 private:
  template <typename... Args>
  static wxString Format(const wxString& format, Args... args) {
    if constexpr (sizeof...(Args) == 0) {
      return format;
    } else {
      return wxString::Format(format, args...);
    }
  }
};
