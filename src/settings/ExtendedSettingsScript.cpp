#include "settings/ExtendedSettingsScript.h"

#include <vector>

#include "platform/FileIO.h"
#include "platform/StringUtil.h"
#include "platform/Utf8.h"

namespace {

// Kinds of the lines kept while loading.
enum LineKind { kValueLine = 0, kOpenLine = 1, kCloseLine = 2, kSectionLine = 3, kInvalidLine = 4 };

struct Line {
  wxString text;
  int kind;
};

const wxString kLineEnd = wxT("\r\n");

bool IsAsciiLetter(wxUniChar c) {
  return (c >= wxT('a') && c <= wxT('z')) || (c >= wxT('A') && c <= wxT('Z'));
}

bool IsNameChar(wxUniChar c) {
  return IsAsciiLetter(c) || (c >= wxT('0') && c <= wxT('9')) || c == wxT('_');
}

bool IsName(const wxString& s) {
  for (const wxUniChar c : s) {
    if (!IsNameChar(c)) return false;
  }
  return true;
}

using strutil::Trimmed;

// Cuts the line before the first comment marker that is not inside double
// quotes. Every double quote toggles the quoted state; there is no escape.
wxString RemoveComment(const wxString& line, int mode) {
  bool quoted = false;
  size_t index = 0;
  for (auto it = line.begin(); it != line.end(); ++it, ++index) {
    const wxUniChar c = *it;
    if (c == wxT('"')) {
      quoted = !quoted;
      continue;
    }
    if (quoted) continue;
    if (mode == UXSSValue::kIni) {
      if (c == wxT(';') || c == wxT('#')) return line.Left(index);
    } else if (c == wxT('/')) {
      auto next = it;
      ++next;
      if (next != line.end() && *next == wxT('/')) return line.Left(index);
    }
  }
  return line;
}

bool IsValidBlockValueLine(const wxString& line) {
  if (line.Freq(wxT('"')) % 2 != 0) return false;
  const size_t first = line.find(wxT('='));
  size_t second = line.find(wxT('='), first + 1);
  if (second == wxString::npos) second = line.length();
  const wxString name = Trimmed(line.substr(0, first));
  const wxString value = Trimmed(line.substr(first + 1, second - first - 1));
  return !name.empty() && !value.empty() && IsName(name);
}

int Classify(const wxString& line, int mode) {
  if (mode == UXSSValue::kIni) {
    return line.StartsWith(wxT("[")) && line.EndsWith(wxT("]")) ? kSectionLine : kValueLine;
  }
  if (line.length() == 1) {
    const wxUniChar c = line[0];
    if (c == wxT('{')) return kOpenLine;
    if (c == wxT('}')) return kCloseLine;
    return IsAsciiLetter(c) ? kSectionLine : kInvalidLine;
  }
  if (line.find(wxT('=')) != wxString::npos)
    return IsValidBlockValueLine(line) ? kValueLine : kInvalidLine;
  return IsName(line) ? kSectionLine : kInvalidLine;
}

// Splits at CR LF, LF or CR, removes comments and blanks, drops empty lines.
std::vector<Line> ReadLines(const wxString& text, int mode) {
  std::vector<Line> lines;
  lines.reserve(static_cast<size_t>(text.Freq(wxT('\n')) + text.Freq(wxT('\r'))) + 1);
  wxString current;
  const auto keep = [&]() {
    wxString line = Trimmed(RemoveComment(current, mode));
    if (!line.empty()) lines.push_back({line, Classify(line, mode)});
    current.clear();
  };
  bool afterCr = false;
  for (const wxUniChar c : text) {
    if (c == wxT('\n')) {
      if (!afterCr) keep();
      afterCr = false;
    } else if (c == wxT('\r')) {
      keep();
      afterCr = true;
    } else {
      current += c;
      afterCr = false;
    }
  }
  keep();
  return lines;
}

bool Parse(const std::vector<Line>& lines, int mode, UXSSSection* root) {
  UXSSSection* current = root;
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    switch (line.kind) {
      case kValueLine: {
        UXSSValue value;
        value.SetFromLine(line.text, mode);
        current->AddValue(value);
        break;
      }
      case kSectionLine:
        if (mode == UXSSValue::kIni) {
          current = root->CreateSections(line.text.substr(1, line.text.length() - 2));
        } else {
          current = current->CreateSections(line.text);
          if (i + 1 >= lines.size() || lines[i + 1].kind != kOpenLine) return false;
        }
        break;
      case kCloseLine:
        if (current->GetParent() == nullptr) return false;
        current = current->GetParent();
        break;
      default:
        break;
    }
  }
  return true;
}

void AddLine(wxString* out, const wxString& line) {
  *out += line;
  *out += kLineEnd;
}

// Neither layout has escapes: a value whose line the reader would cut (a
// line end, a comment marker outside quotes), refuse (an odd number of
// quotes in the block layout) or change (blanks at the ends, "$:" at the
// start, a text that reads as another number) cannot be written. Whether it
// reads back is found by reading the line as the reader does.
bool ReadsBack(const UXSSValue& value, const wxString& line, int mode) {
  const std::vector<Line> lines = ReadLines(line, mode);
  if (lines.size() != 1 || lines[0].kind != kValueLine) return false;
  UXSSValue back;
  back.SetFromLine(lines[0].text, mode);
  if (back.GetName() != value.GetName()) return false;
  // The block layout keeps the text as written, so it must come back whole;
  // the INI layout keeps the value (an empty text reads as 0, but as "").
  if (mode != UXSSValue::kIni && back.GetText() != value.GetText()) return false;
  UXSSValue original(value);
  return back.GetString() == original.GetString();
}

// Adds the value's line when it reads back to the same value.
void AddValue(wxString* out, const wxString& indent, const UXSSValue& value, int mode) {
  const wxString line = value.FormatLine(mode != UXSSValue::kIni);
  if (ReadsBack(value, line, mode)) AddLine(out, indent + line);
}

void FormatIni(const UXSSSection& root, wxString* out) {
  const wxString rootPrefix = root.GetName() + wxT(".");
  std::vector<const UXSSSection*> pending{&root};
  while (!pending.empty()) {
    const UXSSSection* section = pending.back();
    pending.pop_back();
    if (section->HasValues()) {
      if (section != &root) {
        wxString name = section->GetFullName();
        name.Replace(rootPrefix, wxString(), false);
        AddLine(out, wxT("[") + name + wxT("]"));
      }
      for (const auto& value : section->GetValues())
        AddValue(out, wxString(), *value, UXSSValue::kIni);
      AddLine(out, wxString());
    }
    const UXSSSectionList& children = section->GetSections();
    for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(it->get());
  }
}

// Depth-first without recursion: each frame remembers the next child to visit.
void FormatBlock(const UXSSSection& root, wxString* out) {
  struct Frame {
    const UXSSSection* section;
    size_t depth;
    bool last;
    size_t nextChild;
  };
  const auto open = [out](const Frame& f) {
    if (f.depth > 0) {
      const wxString tabs(wxT('\t'), f.depth - 1);
      AddLine(out, tabs + f.section->GetName());
      AddLine(out, tabs + wxT("{"));
    }
    const wxString tabs(wxT('\t'), f.depth);
    for (const auto& value : f.section->GetValues()) AddValue(out, tabs, *value, UXSSValue::kBlock);
  };
  std::vector<Frame> stack{{&root, 0, false, 0}};
  open(stack.back());
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const UXSSSectionList& children = frame.section->GetSections();
    if (frame.nextChild < children.size()) {
      const size_t index = frame.nextChild++;
      if (!out->empty() && frame.section->HasValues()) AddLine(out, wxString());
      const Frame child{children[index].get(), frame.depth + 1, index + 1 == children.size(), 0};
      stack.push_back(child);
      open(child);
      continue;
    }
    if (frame.depth > 0) {
      wxString close = wxString(wxT('\t'), frame.depth - 1) + wxT("}");
      // A block that another block follows at the outer two levels ends with
      // an extra line feed, which reads back as an empty line.
      if (!frame.last && (frame.depth == 1 || frame.depth == 2)) close += wxT("\n");
      AddLine(out, close);
    }
    stack.pop_back();
  }
}

}  // namespace

bool UExtendedSettingsScript::LoadFromText(const wxString& text, int mode) {
  m_mode = mode;
  m_root.Clear();
  const std::vector<Line> lines = ReadLines(text, mode);
  if (mode != kIni) {
    size_t opening = 0;
    size_t closing = 0;
    for (const Line& line : lines) {
      if (line.kind == kInvalidLine) return false;
      if (line.kind == kOpenLine) ++opening;
      if (line.kind == kCloseLine) ++closing;
    }
    if (opening != closing) return false;
  }
  return Parse(lines, mode, &m_root);
}

bool UExtendedSettingsScript::Load(const wxString& fileName, int mode) {
  const wxString name = fileName.empty() ? m_fileName : fileName;
  if (name.empty()) return false;
  m_fileName = name;
  m_mode = mode;
  m_root.Clear();
  wxString text;
  if (!CFileIO::ReadText(name, &text)) return false;
  return LoadFromText(text, mode);
}

bool UExtendedSettingsScript::FormatText(int mode, wxString* text) const {
  text->clear();
  if (mode == kIni) {
    FormatIni(m_root, text);
  } else if (mode == kBlock) {
    FormatBlock(m_root, text);
  } else {
    return false;
  }
  return true;
}

bool UExtendedSettingsScript::Save(const wxString& fileName, int mode) {
  const wxString name = fileName.empty() ? m_fileName : fileName;
  if (name.empty()) return false;
  m_fileName = name;
  wxString text;
  if (!FormatText(mode, &text)) return false;
  return CFileIO::WriteAtomically(name, utf8text::From(text));
}
