// Reading and writing settings scripts of realistic and of large size.
#include <benchmark/benchmark.h>

#include "settings/ExtendedSettingsScript.h"

namespace {

// A preset-like block document: `count` data values of four keys each.
wxString BlockText(int count) {
  UExtendedSettingsScript doc;
  UXSSSection& root = doc.GetRootSection();
  root.SetString(wxT("General::Name"), wxT("Preset"));
  root.SetInt(wxT("Data::ValueCount"), count);
  for (int i = 1; i <= count; ++i) {
    UXSSSection* s = root.FindSection(wxString::Format(wxT("Data.Value%02i"), i), true);
    s->SetInt(wxT("Type"), 2);
    s->SetString(wxT("Name"), wxString::Format(wxT("Name%i"), i));
    s->SetString(wxT("Value"), wxT("some value // with a comment marker"));
    s->SetDouble(wxT("Ratio"), i * 0.5);
  }
  wxString text;
  doc.FormatText(UExtendedSettingsScript::kBlock, &text);
  return text;
}

void BM_LoadBlock(benchmark::State& state) {
  const wxString text = BlockText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    UExtendedSettingsScript doc;
    benchmark::DoNotOptimize(doc.LoadFromText(text, UExtendedSettingsScript::kBlock));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.length()));
}
BENCHMARK(BM_LoadBlock)->Arg(10)->Arg(10000);

void BM_FormatIni(benchmark::State& state) {
  UExtendedSettingsScript doc;
  doc.LoadFromText(BlockText(static_cast<int>(state.range(0))), UExtendedSettingsScript::kBlock);
  for (auto _ : state) {
    wxString text;
    doc.FormatText(UExtendedSettingsScript::kIni, &text);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_FormatIni)->Arg(10)->Arg(10000);

}  // namespace

BENCHMARK_MAIN();
