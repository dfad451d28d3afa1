// The settings script loader: the fuzzer's bytes decoded as a settings file
// is, then read in the block and the INI layout. What was read is written in
// its layout and must read again to the same text (the writer leaves out a
// value that its layout cannot hold).
// Every value is then read in every type and the tree written in both
// layouts.
#include "FuzzSupport.h"

#include "platform/FileIO.h"
#include "settings/ExtendedSettingsScript.h"

#include <string>
#include <vector>

namespace {

constexpr int kLayouts[] = {UExtendedSettingsScript::kBlock, UExtendedSettingsScript::kIni};

// Writes `doc` in `layout`, reads that back and checks it writes the same:
// in the block layout at once, in the INI layout (which reads an empty text
// as a number) from the second writing on.
void CheckRoundTrip(const UExtendedSettingsScript& doc, int layout) {
  wxString text;
  if (!doc.FormatText(layout, &text)) kffuzz::Fail("a layout cannot be written");
  UExtendedSettingsScript again;
  if (!again.LoadFromText(text, layout)) kffuzz::Fail("the program cannot read what it wrote");
  wxString second;
  again.FormatText(layout, &second);
  if (layout == UExtendedSettingsScript::kIni) {
    UExtendedSettingsScript third;
    if (!third.LoadFromText(second, layout)) kffuzz::Fail("the program cannot read what it wrote");
    third.FormatText(layout, &text);
  }
  if (second != text) kffuzz::Fail("written settings change when read and written again");
}

// Reads every value as each type, addressed by its full path from the root.
void ReadAll(UExtendedSettingsScript& doc) {
  std::vector<UXSSSection*> pending{&doc.GetRootSection()};
  std::vector<wxString> paths;
  while (!pending.empty()) {
    UXSSSection* section = pending.back();
    pending.pop_back();
    wxString prefix = section->GetFullName();
    prefix = prefix.Mid(prefix.Find(wxT('.')) == wxNOT_FOUND ? prefix.length()
                                                             : prefix.Find(wxT('.')) + 1);
    for (const auto& value : section->GetValues()) {
      value->GetInt();
      value->GetDouble();
      value->GetBool();
      value->GetString();
      paths.push_back(prefix.empty() ? value->GetName() : prefix + wxT("::") + value->GetName());
    }
    for (const auto& child : section->GetSections()) pending.push_back(child.get());
  }
  for (const wxString& path : paths) doc.GetRootSection().FindValue(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kffuzz::Init();
  const wxString text = CFileIO::DecodeText(std::string(reinterpret_cast<const char*>(data), size));
  for (int layout : kLayouts) {
    UExtendedSettingsScript doc;
    doc.LoadFromText(text, layout);
    CheckRoundTrip(doc, layout);
    ReadAll(doc);
    wxString written;
    for (int out : kLayouts) doc.FormatText(out, &written);
  }
  return 0;
}
