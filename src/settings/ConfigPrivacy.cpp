#include "settings/ConfigPrivacy.h"

#include <sys/stat.h>

#include "platform/StringUtil.h"
#include "platform/Utf8.h"
#include "settings/ExtendedSettingsScript.h"

namespace {

constexpr mode_t kReadableByOthers = S_IRGRP | S_IROTH;

// Every value named `key` in the section or below it.
bool AnyValue(UXSSSection& section, const wxString& key, bool (*test)(const wxString&)) {
  for (const auto& value : section.GetValues()) {
    if (value->GetName().IsSameAs(key, false) && test(value->GetString())) return true;
  }
  for (const auto& child : section.GetSections()) {
    if (AnyValue(*child, key, test)) return true;
  }
  return false;
}

bool NotEmpty(const wxString& text) { return !strutil::Trimmed(text).empty(); }

// "user:password": anything after the first ":" is a password.
bool LoginWithPassword(const wxString& text) { return NotEmpty(text.AfterFirst(wxT(':'))); }

}  // namespace

bool CConfigPrivacy::ExposesPassword(const wxString& path, Kind kind) {
  struct stat st;
  if (path.empty() || ::stat(utf8text::From(path).c_str(), &st) != 0) return false;
  if (!S_ISREG(st.st_mode) || (st.st_mode & kReadableByOthers) == 0) return false;
  return HoldsPassword(path, kind);
}

bool CConfigPrivacy::HoldsPassword(const wxString& path, Kind kind) {
  UExtendedSettingsScript file;
  if (!file.Load(path, UExtendedSettingsScript::kIni)) return false;
  if (kind == kCoreConfiguration) return AnyValue(file.GetRootSection(), wxT("UserPwd"), NotEmpty);
  return AnyValue(file.GetRootSection(), wxT("login"), LoginWithPassword);
}

wxString CConfigPrivacy::Report(const wxString& path) {
  return wxString::Format(
      wxT("The configuration file %s holds a password and can be read by other users; "
          "make it private with \"chmod 600 %s\"\n"),
      path, path);
}
