#include "app/CmdLineParser.h"

#include <climits>

#include "platform/CaseFold.h"
#include "platform/StringUtil.h"

namespace {

const wxChar kQuoteEscape[] = wxT("@(^Q^)");
const wxChar kApostropheEscape[] = wxT("@(^S^)");

using strutil::Trimmed;

wxString Unescape(const wxString& text) {
  wxString t(text);
  t.Replace(kQuoteEscape, wxT("\""));
  t.Replace(kApostropheEscape, wxT("'"));
  return t;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool IsAsciiLetter(wxUniChar c) {
  return (c >= wxT('a') && c <= wxT('z')) || (c >= wxT('A') && c <= wxT('Z'));
}

// "--name" is the switch "-name", the spelling most other tools use.
bool IsDoubleDashSwitch(const wxString& arg) {
  return arg.length() > 2 && arg[0] == wxT('-') && arg[1] == wxT('-') && IsAsciiLetter(arg[2]);
}

// The switch name of an argument that is one switch, without its value.
wxString SwitchName(const wxString& arg) { return arg.Mid(1).BeforeFirst(wxT('=')); }

// Reads the whole text as a decimal integer within 32 bits.
bool ReadInteger(const wxString& text, long* out) {
  long long v = 0;
  if (text.empty() || !text.ToLongLong(&v, 10) || v < INT_MIN || v > INT_MAX) return false;
  if (out) *out = static_cast<long>(v);
  return true;
}

}  // namespace

CCmdLineParam::CCmdLineParam(const wxString& name, const wxString& description, int valueType,
                             int flags)
    : m_name(name), m_description(description), m_valueType(valueType), m_flags(flags) {}

bool CCmdLineParam::Accepts(const wxString& value) const {
  if (value.empty() && m_valueType != kTypeNone && !HasFlag(kFlagOptional)) return false;
  if (!value.empty()) {
    switch (m_valueType) {
      case kTypeInteger:
        if (!ReadInteger(value, nullptr)) return false;
        break;
      case kTypeReal: {
        double d = 0;
        if (!value.ToCDouble(&d)) return false;
        break;
      }
      case kTypeBool: {
        const wxString v = value.Lower();
        if (v != wxT("true") && v != wxT("false") && v != wxT("yes") && v != wxT("no") &&
            v != wxT("1") && v != wxT("0"))
          return false;
        break;
      }
      case kTypeNone:
        return false;
      default:
        break;
    }
  }
  return m_values.IsEmpty() || HasFlag(kFlagRepeat);
}

void CCmdLineParam::AddValue(const wxString& value) {
  m_values.Add(value);
  m_found = true;
}

std::wstring CCmdLineParser::NameKey(const wxString& name) {
  return casefold::Fold(name).ToStdWstring();
}

CCmdLineParam* CCmdLineParser::AddParam(const wxString& name, const wxString& description,
                                        int valueType, int flags) {
  if (CCmdLineParam* existing = FindParam(name)) return existing;
  m_params.push_back(std::make_unique<CCmdLineParam>(name, description, valueType, flags));
  m_index.emplace(NameKey(name), m_params.back().get());
  return m_params.back().get();
}

CCmdLineParam* CCmdLineParser::FindParam(const wxString& name) const {
  const auto it = m_index.find(NameKey(name));
  return it == m_index.end() ? nullptr : it->second;
}

bool CCmdLineParser::AddParamValue(const wxString& name, const wxString& value) {
  CCmdLineParam* p = FindParam(name);
  if (!p || !p->Accepts(value)) return false;
  p->AddValue(value);
  return true;
}

bool CCmdLineParser::Found(const wxString& name) const {
  const CCmdLineParam* p = FindParam(name);
  return p && p->IsFound();
}

wxString CCmdLineParser::GetParamString(const wxString& name, const wxString& def) const {
  const CCmdLineParam* p = FindParam(name);
  if (!p || !p->IsFound()) return def;
  return p->GetValues().IsEmpty() ? wxString() : p->GetValues()[0];
}

long CCmdLineParser::GetParamLong(const wxString& name, long def) const {
  const CCmdLineParam* p = FindParam(name);
  long v = 0;
  if (!p || !p->IsFound() || p->GetValues().IsEmpty() || !ReadInteger(p->GetValues()[0], &v))
    return def;
  return v;
}

bool CCmdLineParser::GetParamBool(const wxString& name, bool def) const {
  const CCmdLineParam* p = FindParam(name);
  if (!p || !p->IsFound()) return def;
  if (p->GetValues().IsEmpty()) return false;
  const wxString v = p->GetValues()[0].Lower();
  return v == wxT("true") || v == wxT("yes") || v == wxT("1");
}

wxString CCmdLineParser::RebuildCommandLine(const wxArrayString& args) const {
  wxArrayString items;
  // After "-execute" everything is the remote command, taken as given.
  bool remoteCommand = false;
  // What the previous argument, a switch without "=", expects next.
  enum { kNothing, kValue, kOptionalValue } due = kNothing;
  for (const wxString& given : args) {
    if (given.empty()) {
      // An empty value is still the value: without it the switch would take
      // the next argument (a switch, a scene) as its own.
      if (due != kNothing) items.Add(wxT("\"\""));
      due = kNothing;
      continue;
    }
    // The value of a switch that needs one is taken as given, dashes and all.
    const bool isValue = due == kValue;
    due = kNothing;
    const wxString arg =
        !remoteCommand && !isValue && IsDoubleDashSwitch(given) ? given.Mid(1) : given;
    if (arg[0] == wxT('-') && !remoteCommand && !isValue) {
      const wxString name = SwitchName(arg);
      remoteCommand = name == wxT("execute");
      const CCmdLineParam* param = FindParam(name);
      if (arg.Find(wxT('=')) == wxNOT_FOUND && param &&
          param->GetValueType() != CCmdLineParam::kTypeNone)
        due = param->HasFlag(CCmdLineParam::kFlagOptional) ? kOptionalValue : kValue;
    }
    if (arg[0] == wxT('-')) {
      const int eq = arg.Find(wxT('='));
      if (eq != wxNOT_FOUND) {
        items.Add(arg.Left(eq));
        items.Add(arg.Mid(eq + 1));
      } else {
        items.Add(arg);
      }
    } else {
      wxString item(arg);
      item.Replace(wxT("\""), kQuoteEscape);
      item.Replace(wxT("'"), kApostropheEscape);
      items.Add(item);
    }
  }
  wxString line;
  for (size_t i = 0; i < items.GetCount(); ++i) {
    const wxString& item = items[i];
    const bool quote = item.Find(wxT(' ')) != wxNOT_FOUND || item.Find(wxT('\t')) != wxNOT_FOUND ||
                       item.find(wxT('-'), 1) != wxString::npos;
    if (i) line += wxT(' ');
    line += quote ? wxT("\"") + item + wxT("\"") : item;
  }
  return line;
}

bool CCmdLineParser::Parse(const wxString& text) {
  m_commandLine = text.empty() ? RebuildCommandLine(m_arguments) : text;
  return Scan(m_commandLine.ToStdWstring());
}

bool CCmdLineParser::Scan(const std::wstring& s) {
  const size_t n = s.size();
  bool inQuotes = false;
  bool afterSpace = true;
  std::wstring freeText;
  size_t i = 0;
  while (i < n) {
    const wchar_t c = s[i];
    freeText += c;
    if (c == L'"') {
      inQuotes = !inQuotes;
      afterSpace = false;
      ++i;
      continue;
    }
    if (inQuotes || !afterSpace || c != L'-') {
      afterSpace = (c == L' ');
      ++i;
      continue;
    }

    // A switch: whatever came before it is not a free argument.
    freeText.clear();
    size_t end = i + 1;
    while (end < n && s[end] != L' ') ++end;
    const wxString name = Trimmed(wxString(s.substr(i + 1, end - i - 1)));
    // The value, when one is read, starts after the space that ended the name.
    const size_t valueStart = end < n ? end + 1 : n;

    CCmdLineParam* param = FindParam(name);
    if (!param) {
      // Nothing, a blank or a switch-like word after it: a flag; else it takes a value.
      const bool flag =
          valueStart >= n || s[valueStart] == L' ' ||
          (s[valueStart] == L'-' && !(valueStart + 1 < n && IsDigit(s[valueStart + 1])));
      param = AddParam(name, wxString(), flag ? CCmdLineParam::kTypeNone : CCmdLineParam::kTypeText,
                       CCmdLineParam::kFlagRepeat | CCmdLineParam::kFlagDeclared);
      if (flag) param->SetFound();
    }

    wxString value;
    size_t resume = end;
    if (param->GetValueType() != CCmdLineParam::kTypeNone) {
      std::wstring raw;
      bool valueQuotes = false;
      size_t k = valueStart;
      for (; k < n; ++k) {
        const wchar_t d = s[k];
        if (d == L'"') {
          valueQuotes = !valueQuotes;
          continue;
        }
        if (d == L' ' && !valueQuotes) break;
        raw += d;
      }
      resume = k;
      value = Trimmed(wxString(raw));
      // An optional value that is really the next declared switch.
      if (value.StartsWith(wxT("-")) && param->HasFlag(CCmdLineParam::kFlagOptional) &&
          valueStart < n && s[valueStart] == L'-' && FindParam(value.Mid(1))) {
        value.clear();
        resume = valueStart;
      }
      value = Unescape(value);
    }

    if (!AddParamValue(name, value)) return false;

    if (name == wxT("execute")) {
      freeText = resume < n ? s.substr(resume) : std::wstring();
      break;
    }
    i = resume;
    afterSpace = true;  // `resume` is a blank, the end, or the next switch's dash
  }
  SplitFreeText(freeText);
  return true;
}

void CCmdLineParser::SplitFreeText(const std::wstring& raw) {
  const std::wstring text = Trimmed(wxString(raw)).ToStdWstring();
  if (text.empty()) return;
  bool inQuotes = false;
  std::wstring piece;
  for (wchar_t c : text) {
    if (c == L'"') {
      inQuotes = !inQuotes;
    } else if (c == L' ' && !inQuotes) {
      m_freeArgs.Add(Unescape(Trimmed(wxString(piece))));
      piece.clear();
    } else {
      piece += c;
    }
  }
  const wxString last = Trimmed(wxString(piece));
  if (!last.empty()) m_freeArgs.Add(Unescape(last));
}
