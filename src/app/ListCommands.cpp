#include "app/ListCommands.h"

#include <wx/tokenzr.h>

#include <algorithm>
#include <vector>

#include "app/KfJsCore.h"
#include "platform/CaseFold.h"
#include "platform/StringUtil.h"
#include "platform/Utf8.h"
#include "rs/RSGroup.h"
#include "rs/RSParameterList.h"
#include "rs/RSPool.h"
#include "rs/RSRenderer.h"
#include "rs/RSVersion.h"

namespace {

constexpr int kRuleWidth = 75;
constexpr size_t kIdWidth = 16;

// Restores the quiet flag the command found when it ends.
class QuietGuard {
 public:
  explicit QuietGuard(CKfJsCore& core) : m_core(core), m_quiet(core.IsQuiet()) {}
  ~QuietGuard() { m_core.SetQuiet(m_quiet); }
  QuietGuard(const QuietGuard&) = delete;
  QuietGuard& operator=(const QuietGuard&) = delete;

 private:
  CKfJsCore& m_core;
  bool m_quiet;
};

// Items in name order, letter case ignored; equal names keep their order.
template <typename T>
std::vector<T*> SortedByName(std::vector<T*> items) {
  std::stable_sort(items.begin(), items.end(),
                   [](const T* a, const T* b) { return casefold::Compare(a->Name, b->Name) < 0; });
  return items;
}

wxString Field(const wxString& text, size_t index) {
  const wxArrayString fields = strutil::Split(text, wxT('|'));
  return index < fields.GetCount() ? fields[index] : wxString();
}

}  // namespace

void CListCommands::PrintHeader(const wxString& title) {
  m_core.OutputText(title);
  m_core.OutputRule(wxT('-'), kRuleWidth);
  m_core.OutputNewLines(1);
}

void CListCommands::ListPools(const wxArrayString& pools) {
  QuietGuard guard(m_core);
  m_core.SetQuiet(false);
  if (!m_compact) PrintHeader(wxT("Client pool list:\n"));
  for (const wxString& entry : pools) m_core.Output(wxT("%s\n"), Field(entry, 1));
  m_core.OutputNewLines(1);
}

void CListCommands::ListRenderers(const CRSPool& pool, const wxString& group, bool capabilities) {
  QuietGuard guard(m_core);
  m_core.SetQuiet(false);
  const bool decorated = !m_compact && !capabilities;
  if (decorated) PrintHeader(wxT("Renderer list (Group: Renderer/Version):\n"));

  std::vector<CRSGroup*> groups;
  for (size_t i = 0; i < pool.Groups.GetCount(); ++i) groups.push_back(pool.Groups.GetAt(i));
  for (const CRSGroup* g : SortedByName(groups)) {
    if (!g->Visible) continue;
    if (!group.empty() && !casefold::Equal(g->Name, group)) continue;
    std::vector<CRSRenderer*> renderers;
    for (size_t i = 0; i < g->Renderers.GetCount(); ++i) renderers.push_back(g->Renderers.GetAt(i));
    for (const CRSRenderer* renderer : SortedByName(renderers)) {
      if (!renderer->Visible) continue;
      // The default version comes first, whether or not it is available.
      const CRSVersion* defaultVersion = renderer->Versions.GetDefaultVersion();
      std::vector<const CRSVersion*> versions;
      if (defaultVersion) versions.push_back(defaultVersion);
      for (size_t i = 0; i < renderer->Versions.GetCount(); ++i) {
        const CRSVersion* version = renderer->Versions.GetAt(i);
        if (version != defaultVersion && version->Visible) versions.push_back(version);
      }
      for (const CRSVersion* version : versions) {
        if (capabilities) {
          m_core.Output(wxT("%s/%s:%i\n"), g->Name, version->GetID(),
                        static_cast<int>(version->GetCapabilities()));
        } else if (m_compact) {
          m_core.Output(wxT("%s\n"), version->GetID());
        } else {
          m_core.Output(wxT("%s: %s%s\n"), g->Name, version->GetID(),
                        wxString(version == defaultVersion ? wxT(" *") : wxT("")));
        }
      }
    }
  }
  if (decorated) {
    m_core.OutputText(
        wxT("\n* = Default version\nNote: The group name and * are not part of the renderer ID\n"));
  }
}

void CListCommands::ListParams(const CRSPool& pool, const wxString& rendererId) {
  QuietGuard guard(m_core);
  m_core.SetQuiet(false);
  const wxString rendererName = strutil::Trimmed(rendererId.BeforeFirst(wxT('/')));
  wxString versionName = rendererId.AfterFirst(wxT('/'));
  versionName = strutil::Trimmed(versionName.BeforeFirst(wxT('/')));
  const CRSRenderer* renderer = pool.Renderers.FindByName(rendererName);
  if (!renderer) return;
  const CRSVersion* version = versionName.empty() ? renderer->Versions.GetDefaultVersion()
                                                  : renderer->Versions.FindByName(versionName);
  if (!version) return;

  CRSParameterList parameters(false);
  version->GetEffectiveParameters(parameters);
  if (!m_compact) PrintHeader(wxString::Format(wxT("Parameters list for %s:\n"), version->GetID()));
  for (size_t i = 0; i < parameters.GetCount(); ++i) {
    const CRSParameter& parameter = *parameters.GetAt(i);
    const bool listed = parameter.Settable || parameter.ID == wxT("outdir") ||
                        parameter.ID == wxT("outfile") || parameter.ID == wxT("projdir");
    if (!listed) continue;
    if (m_compact) {
      m_core.Output(wxT("%s\n"), parameter.ID);
    } else {
      PrintParameter(parameter);
    }
  }
  if (!m_compact) m_core.OutputText(wxT("\n* denotes mandatory parameters\n"));
}

void CListCommands::PrintParameter(const CRSParameter& p) {
  wxString line = p.ID;
  if (line.length() < kIdWidth) line.append(kIdWidth - line.length(), wxT(' '));
  line += utf8text::ToWx(p.DisplayName);
  if (!p.DefaultValue.empty())
    line += wxT(" (Default = ") + utf8text::ToWx(p.DefaultValue) + wxT(")");
  if (!p.Group.empty()) line += wxT(" [") + utf8text::ToWx(p.Group) + wxT("]");
  if (p.Mandatory) line += wxT(" *");
  line += wxT("\n");
  line += wxString(wxT(' '), kIdWidth);
  line += p.Help.empty() ? wxString(wxT("No description available")) : utf8text::ToWx(p.Help);
  line += wxT("\n");
  if (m_subm) {
    // Numbers in the C locale: scripts read a decimal point.
    line += wxString::Format(wxT("%i|%i|%i|"), static_cast<int>(p.Type),
                             static_cast<int>(p.TypeFlags), p.UseRange ? 1 : 0);
    line += wxString::FromCDouble(p.MinValue, 3) + wxT("|");
    line += wxString::FromCDouble(p.MaxValue, 3) + wxT("|");
    for (size_t i = 0; i < p.Dependencies.size(); ++i) {
      if (i > 0) line += wxT(";");
      line += utf8text::ToWx(p.Dependencies[i]);
    }
    line += wxT("|");
    line += FormatValueText(p) + wxT("\n");
  }
  m_core.OutputText(line);
}

wxString CListCommands::FormatValueText(const CRSParameter& p) {
  if (p.Type == CRSParameter::kBoolValues) {
    return wxT("True=") + utf8text::ToWx(p.TrueValue) + wxT(";False=") +
           utf8text::ToWx(p.FalseValue);
  }
  if (p.Type == CRSParameter::kEnum) {
    wxString text;
    for (size_t i = 0; i < p.EnumValues.size(); ++i) {
      if (i > 0) text += wxT(";");
      const wxString entry = utf8text::ToWx(p.EnumValues[i]);
      text += entry.BeforeFirst(wxT('=')) + wxT("=") + entry.AfterFirst(wxT('='));
    }
    return text;
  }
  return wxString();
}
