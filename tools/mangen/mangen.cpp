// Build-time generator of the manual page and the bash completion script.
// Both are filled from the program's own switch table, the one that prints
// the usage text, so that neither can drift from what the program accepts.
//
//   kf_mangen man TEMPLATE OUTPUT         replaces @OPTIONS@ with the options
//   kf_mangen completion TEMPLATE OUTPUT  replaces @SWITCHES@ and @VALUE_SWITCHES@
//
// Other placeholders: @VERSION@ and @DATE@ (the program's version and build date).
#include <wx/file.h>
#include <wx/init.h>
#include <wx/string.h>

#include <cstdio>

#include "app/KfJsCmdLine.h"
#include "app/Version.h"

namespace {

// Text that groff shows as written: backslashes, dashes and a leading dot or
// quote that would start a request.
wxString Roff(const wxString& text) {
  wxString out;
  for (wxUniChar c : text) {
    if (c == wxT('\\'))
      out << wxT("\\e");
    else if (c == wxT('-'))
      out << wxT("\\-");
    else
      out << c;
  }
  if (out.StartsWith(wxT(".")) || out.StartsWith(wxT("'"))) out = wxT("\\&") + out;
  return out;
}

// What follows the switch name in the synopsis of one option.
wxString ValueHint(const CCmdLineParam* param) {
  if (!param) return wxString();
  wxString hint;
  switch (param->GetValueType()) {
    case CCmdLineParam::kTypeText: hint = wxT("text"); break;
    case CCmdLineParam::kTypeInteger: hint = wxT("number"); break;
    case CCmdLineParam::kTypeReal: hint = wxT("value"); break;
    case CCmdLineParam::kTypeBool: hint = wxT("true|false"); break;
    default: return wxString();
  }
  hint = wxT("\\fI") + hint + wxT("\\fR");
  if (param->HasFlag(CCmdLineParam::kFlagOptional)) return wxT(" [") + hint + wxT("]");
  return wxT(" ") + hint;
}

wxString ManOptions(const CKfJsCmdLine& cmdLine) {
  const CKfCmdLineSwitches& switches = cmdLine.GetSwitches();
  wxString out;
  int group = 0;
  for (size_t i = 0; i < switches.GetCount(); ++i) {
    const CKfCmdLineSwitch& s = switches.Item(i);
    if (s.help.empty()) continue;
    if (s.group != group) {
      group = s.group;
      out << wxT(".SS ") << (group == 2 ? wxT("Net job switches") : wxT("General switches"))
          << wxT("\n");
    }
    out << wxT(".TP\n\\fB\\-") << Roff(s.name) << wxT("\\fR")
        << ValueHint(cmdLine.FindParam(s.name));
    if (s.repeatable) out << wxT(" (repeatable)");
    out << wxT("\n") << Roff(s.help) << wxT("\n");
  }
  return out;
}

wxString CompletionSwitches(const CKfJsCmdLine& cmdLine, bool valuesOnly) {
  const CKfCmdLineSwitches& switches = cmdLine.GetSwitches();
  wxString out;
  for (size_t i = 0; i < switches.GetCount(); ++i) {
    const CKfCmdLineSwitch& s = switches.Item(i);
    if (s.help.empty()) continue;
    const CCmdLineParam* param = cmdLine.FindParam(s.name);
    const bool takesValue = param && param->GetValueType() != CCmdLineParam::kTypeNone &&
                            !param->HasFlag(CCmdLineParam::kFlagOptional);
    if (valuesOnly && !takesValue) continue;
    if (!out.empty()) out << wxT(' ');
    out << wxT('-') << s.name;
  }
  return out;
}

bool ReadText(const wxString& path, wxString* text) {
  wxFile file;
  if (!file.Open(path)) return false;
  return file.ReadAll(text, wxConvUTF8);
}

bool WriteText(const wxString& path, const wxString& text) {
  wxFile file;
  if (!file.Create(path, true)) return false;
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return file.Write(utf8.data(), utf8.length()) == utf8.length() && file.Close();
}

}  // namespace

int main(int argc, char** argv) {
  wxInitializer init;
  if (!init.IsOk() || argc != 4) {
    fprintf(stderr, "usage: kf_mangen man|completion TEMPLATE OUTPUT\n");
    return 2;
  }
  const wxString mode = wxString::FromUTF8(argv[1]);
  wxString text;
  if (!ReadText(wxString::FromUTF8(argv[2]), &text)) {
    fprintf(stderr, "kf_mangen: cannot read %s\n", argv[2]);
    return 1;
  }

  const CKfJsCmdLine cmdLine;
  if (mode == wxT("man")) {
    text.Replace(wxT("@OPTIONS@\n"), ManOptions(cmdLine));
  } else if (mode == wxT("completion")) {
    text.Replace(wxT("@SWITCHES@"), CompletionSwitches(cmdLine, false));
    text.Replace(wxT("@VALUE_SWITCHES@"), CompletionSwitches(cmdLine, true));
  } else {
    fprintf(stderr, "kf_mangen: unknown mode %s\n", argv[1]);
    return 2;
  }
  text.Replace(wxT("@VERSION@"), wxString::Format(wxT("%d.%d.%d"), kKfVersionMajor,
                                                  kKfVersionMinor, kKfVersionRelease));
  text.Replace(wxT("@DATE@"), wxT(KF_BUILD_DATE));

  if (!WriteText(wxString::FromUTF8(argv[3]), text)) {
    fprintf(stderr, "kf_mangen: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
