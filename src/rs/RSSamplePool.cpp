#include "rs/RSSamplePool.h"

#include "platform/Utf8.h"
#include "rs/RSPool.h"
#include "rs/RSVersion.h"

#include <wx/string.h>

namespace {

class Random {
 public:
  explicit Random(uint32_t seed) : m_state(seed * 2654435761u + 1) {}
  uint32_t Next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
  }
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  bool Coin() { return (Next() & 1) != 0; }

  // A text of up to `maxLength` characters from an alphabet that holds
  // everything the XML form escapes. No ";" so that no entity can form.
  wxString Text(int maxLength) {
    static const wchar_t* const kPieces[] = {
        L"a", L"b", L"Z", L"0", L"7", L" ", L"  ", L"&", L"<", L">", L"\"", L"'", L"\\",
        L"\n", L"\r\n", L"\t", L"=", L"#", L"/", L"\x00C4", L"\x00D6", L"\x00DC", L"\x00E4",
        L"\x00F6", L"\x00FC", L"\x00DF", L"\x00E9", L"\x65E5", L"C:\\renders\\new", L"$(OUT)",
    };
    const int n = Below(maxLength + 1);
    wxString text;
    for (int i = 0; i < n; ++i) text += kPieces[Below(sizeof(kPieces) / sizeof(kPieces[0]))];
    return text;
  }
  // The parameter's texts are held as UTF-8.
  std::string TextUTF8(int maxLength) { return utf8text::From(Text(maxLength)); }
  wxString Word(const wxChar* prefix, int index) {
    return wxString::Format(wxT("%s%d_%u"), prefix, index, Next() % 1000);
  }
  wxString Uuid() {
    return wxString::Format(wxT("%08x-%04x-%04x-%04x-%08x%04x"), Next(), Next() & 0xFFFF,
                            Next() & 0xFFFF, Next() & 0xFFFF, Next(), Next() & 0xFFFF);
  }

 private:
  uint32_t m_state;
};

void FillParameter(Random& rnd, CRSParameter* p, const wxString& id) {
  p->ID = id;
  p->Type = rnd.Below(9);
  p->TypeFlags = rnd.Next();
  p->Group = rnd.TextUTF8(4);
  p->DisplayName = rnd.TextUTF8(6);
  p->Help = rnd.TextUTF8(12);
  p->Mandatory = rnd.Coin();
  p->Invisible = rnd.Coin();
  p->UseRange = rnd.Coin();
  p->MinValue = static_cast<float>(rnd.Below(4000) - 2000) / 4.0f;
  p->MaxValue = static_cast<float>(rnd.Below(100000)) / 8.0f;
  p->SplittableList = rnd.Coin();
  p->ListSeparator = rnd.Coin() ? " " : ",";
  p->ForceSplitting = rnd.Coin();
  p->QuoteSplits = rnd.Coin();
  p->TrueValue = rnd.TextUTF8(3);
  p->FalseValue = rnd.TextUTF8(3);
  p->DefaultValue = rnd.TextUTF8(5);
  p->ShowInNjDetails = rnd.Coin();
}

void AddExtras(Random& rnd, CRSParameter* p) {
  const int enums = rnd.Below(4);
  for (int e = 0; e < enums; ++e)
    p->AddEnumValue("choice" + std::to_string(e), rnd.TextUTF8(4));
  const int deps = rnd.Below(3);
  for (int d = 0; d < deps; ++d) p->AddDependency("dep" + std::to_string(d));
}

void FillParameters(Random& rnd, CRSPool& pool, CRSParameterList& list, int count,
                    const CRSParameterList* renderers) {
  for (int i = 0; i < count; ++i) {
    CRSParameter* p = list.AddNew();
    // A version inherits some of its renderer's parameters, and disables a few.
    if (renderers && renderers->GetCount() > 0 && rnd.Below(3) == 0) {
      const CRSParameter* theirs =
          renderers->GetAt(static_cast<size_t>(rnd.Below(static_cast<int>(renderers->GetCount()))));
      if (!list.Contains(theirs->ID)) {
        if (const CRSParameter* standard = pool.StandardParameters.Contains(theirs->ID)) {
          p->CopyFrom(*standard);
        } else {
          p->ID = theirs->ID;
        }
        p->Inherited = true;
        p->Disabled = rnd.Below(4) == 0;
        AddExtras(rnd, p);
        continue;
      }
    }
    // Every fourth parameter uses a standard ID and changes only how it is shown.
    const CRSParameter* standard = pool.StandardParameters.GetAt(
        static_cast<size_t>(rnd.Below(static_cast<int>(pool.StandardParameters.GetCount()))));
    if (i % 4 == 0 && standard && !list.Contains(standard->ID)) {
      p->CopyFrom(*standard);
      p->DisplayName = rnd.TextUTF8(6);
      p->Help = rnd.TextUTF8(8);
      p->DefaultValue = rnd.TextUTF8(4);
    } else {
      wxString id = wxString::Format(wxT("param%d"), i);
      if (list.Contains(id)) id = wxT("own_") + id;
      FillParameter(rnd, p, id);
    }
    AddExtras(rnd, p);
  }
}

template <class List, class Item>
Item* AddItem(List& list) {
  auto* item = new Item();
  item->SetPool(list.Pool);
  list.OnItemAdded(item);
  list.Add(item);
  return item;
}

void FillComponents(Random& rnd, CRSPool& pool, CRSCoreRenderer& core, int parameters,
                    const CRSCoreRenderer* upper) {
  FillParameters(rnd, pool, core.Parameters, parameters, upper ? &upper->Parameters : nullptr);

  CRSCommandLine& cl = core.CommandLine;
  cl.ForceQuotes = rnd.Coin();
  cl.ForceQuotesStringOnly = rnd.Coin();
  cl.UseFwdSlashes = rnd.Coin();
  cl.UseBwdSlashes = rnd.Coin();
  cl.EncodeSlashes = rnd.Coin();
  cl.OverrideParentOptions = rnd.Coin();
  cl.OverrideParentSlashOptions = rnd.Coin();
  for (int i = 0; i < 5; ++i) {
    auto* s = AddItem<CRSSwitchList, CRSSwitch>(cl.Switches);
    if (upper && i < 2) {
      s->CmdLineSwitch = upper->CommandLine.Switches.GetAt(static_cast<size_t>(i))->CmdLineSwitch;
      s->Inherited = true;
      s->Disabled = rnd.Coin();
    } else {
      s->CmdLineSwitch = wxString::Format(wxT("-sw%d "), i) + rnd.Text(3);
    }
    s->Delimiter = rnd.Below(5);
    s->Parameters = rnd.Text(6);
  }

  CRSExecutables& ex = core.Executables;
  CRSExecutables::Entry* entries[] = {&ex.Windows, &ex.Linux, &ex.Macintosh};
  for (CRSExecutables::Entry* e : entries) {
    e->Bit32 = rnd.Text(5);
    e->Bit32SearchPath = rnd.Text(5);
    e->Bit64 = wxT("C:\\Program Files\\Renderer\\bin\\render.exe");
    e->Bit64SearchPath = rnd.Text(5);
  }
  ex.Info = rnd.Text(10);
  ex.Inherited = upper && rnd.Coin();
  ex.Disabled = ex.Inherited && rnd.Coin();

  core.ReturnCodes.InterpretationType = rnd.Below(3);
  const int codes = 1 + rnd.Below(4);
  for (int i = 0; i < codes; ++i) core.ReturnCodes.ReturnCodes.push_back(rnd.Below(512) - 256);

  for (int i = 0; i < 4; ++i) {
    auto* f = AddItem<CRSOutputFilterList, CRSOutputFilter>(core.OutputFilters);
    if (upper && i == 0) {
      f->Filter = upper->OutputFilters.GetAt(0)->Filter;
      f->Inherited = true;
    } else {
      f->Filter = wxString::Format(wxT("filter%d "), i) + rnd.Text(5);
    }
    f->UseRegExp = rnd.Coin();
    f->Action = rnd.Below(6);
    f->Message = rnd.Text(8);
    f->MessageType = rnd.Below(4);
    const int lines = rnd.Below(4);
    for (int l = 0; l < lines; ++l)
      f->Exclusions.Add(l == 1 ? wxString() : wxString::Format(wxT("line %d"), l));
  }

  core.Script.Script =
      wxT("import os\r\n\r\ndef main():\r\n\tprint(\"C:\\\\renders\\\\new\")\r\n") + rnd.Text(20);
  core.Script.Inherited = upper && rnd.Coin();

  core.Template.Active = rnd.Coin();
  core.Template.FileEnding = wxT("mel");
  core.Template.FilePath = rnd.Text(6);
  core.Template.ScriptTemplate =
      wxT("// generated\n\tsetAttr \"defaultRenderGlobals.start\" $(SF);\n") + rnd.Text(20);
  core.Template.EncodeSlashes = rnd.Coin();
  core.Template.OverrideParentOptions = rnd.Coin();

  for (int i = 0; i < 5; ++i) {
    auto* v = AddItem<CRSEnvironment, CRSEnvVariable>(core.Environment);
    v->Name = wxString::Format(wxT("KF_VAR_%d"), i);
    v->Value = rnd.Text(8);
  }
  core.Capabilities = static_cast<int32_t>(rnd.Next() & 0xFFFF);
}

}  // namespace

void FillSamplePool(CRSPool& pool, const RSSampleSize& size, uint32_t seed) {
  Random rnd(seed);
  CRSGroup* group = nullptr;
  for (int r = 0; r < size.renderers; ++r) {
    if (r % (size.renderersPerGroup > 0 ? size.renderersPerGroup : 1) == 0) {
      group = new CRSGroup();
      group->SetPool(&pool);
      group->Name = wxString::Format(wxT("Group %d"), r / size.renderersPerGroup);
      group->Description = rnd.Text(10);
      group->Visible = rnd.Coin();
      group->Uuid = rnd.Uuid();
      pool.Groups.Add(group);
    }
    auto* renderer = new CRSRenderer();
    renderer->SetPool(&pool);
    pool.Renderers.OnItemAdded(renderer);
    pool.Renderers.Add(renderer);
    renderer->Name = rnd.Word(wxT("Renderer"), r);
    renderer->SetGroup(group->Name);
    renderer->Description = rnd.Text(12);
    renderer->FileMask = wxT("*.ma;*.mb");
    renderer->Visible = rnd.Coin();
    renderer->Uuid = rnd.Uuid();
    FillComponents(rnd, pool, *renderer, size.parametersPerObject, nullptr);
    for (int v = 0; v < size.versionsPerRenderer; ++v) {
      auto* version = new CRSVersion();
      version->SetPool(&pool);
      renderer->Versions.OnItemAdded(version);
      renderer->Versions.Add(version);
      version->Name = wxString::Format(wxT("%d.%d"), 2020 + v, r % 7);
      version->Description = rnd.Text(8);
      version->DefaultVersion = v == size.versionsPerRenderer - 1;
      version->Visible = rnd.Coin();
      version->Uuid = rnd.Uuid();
      FillComponents(rnd, pool, *version, size.parametersPerObject, renderer);
    }
  }
}

void SavePoolDocument(CRSPool& pool, CDataNode& root) {
  root.Reset();
  root.GetValue().Clear();
  root.SetName(wxT("DataRoot"));
  root.AddChild("ContentType", wxT("Pool/1.0"));
  pool.Groups.Save(*root.AddChild("Content"), 1);
}

bool LoadPoolDocument(CRSPool& pool, const CDataNode& root) {
  const CDataNode* content = root.FindChild("Content");
  return content && pool.Groups.Load(*content, 1);
}
