// A submission of one frame-number pattern with many frames: expanding the
// pattern into scene files, filling the render set, marshalling the net job
// and writing the packet body. Every step must stay linear in the frames.
#include <benchmark/benchmark.h>

#include <string>

#include "netjob/JsNetJob.h"
#include "netjob/NetJobPacketMsg.h"
#include "netjob/ScenePattern.h"
#include "net/MemoryStream.h"
#include "rs/RSRenderSet.h"

namespace {

wxString Pattern(long frames) {
  return wxString::Format(wxT("@/projects/show/seq010/shot_#####[1-%ld].ma"), frames);
}

void BM_ExpandFramePattern(benchmark::State& state) {
  CScenePattern patterns;
  for (auto _ : state) {
    wxArrayString scenes;
    patterns.Expand(Pattern(state.range(0)), scenes);
    benchmark::DoNotOptimize(scenes.size());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ExpandFramePattern)
    ->Arg(10000)
    ->Arg(100000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

// The steps of a submission one by one, each timed over a job that already
// went through the steps before it.
struct FilledJob {
  CJsNetJob job;
  explicit FilledJob(long frames) {
    job.Reset(-1);
    job.AddPool(wxT("12|Main"));
    wxArrayString scenes;
    CScenePattern().Expand(Pattern(frames), scenes);
    CRSRenderSetValue* value = job.GetRenderSet().GetOrAddValue(wxT("scene"));
    value->Strings.reserve(scenes.size());
    for (const wxString& scene : scenes) value->AddString(scene);
  }
};

void BM_FillRenderSet(benchmark::State& state) {
  wxArrayString scenes;
  CScenePattern().Expand(Pattern(state.range(0)), scenes);
  for (auto _ : state) {
    CRSRenderSet set;
    CRSRenderSetValue* value = set.GetOrAddValue(wxT("scene"));
    value->Strings.reserve(scenes.size());
    for (const wxString& scene : scenes) value->AddString(scene);
    benchmark::DoNotOptimize(value->Strings.size());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FillRenderSet)->Arg(10000)->Arg(100000)->Complexity()->Unit(benchmark::kMillisecond);

void BM_RenderSetText(benchmark::State& state) {
  FilledJob filled(state.range(0));
  for (auto _ : state) {
    const std::string text = filled.job.GetRenderSet().ToUTF8();
    benchmark::DoNotOptimize(text.size());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RenderSetText)->Arg(10000)->Arg(100000)->Complexity()->Unit(benchmark::kMillisecond);

void BM_MarshalAndWrite(benchmark::State& state) {
  FilledJob filled(state.range(0));
  for (auto _ : state) {
    CNetJobPacketMsg packet;
    packet.MarshalFrom(filled.job);
    CMemoryStream stream;
    packet.WriteData(stream);
    benchmark::DoNotOptimize(stream.Size());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MarshalAndWrite)->Arg(10000)->Arg(100000)->Complexity()->Unit(benchmark::kMillisecond);

void BM_SubmitFramePattern(benchmark::State& state) {
  CScenePattern patterns;
  for (auto _ : state) {
    CJsNetJob job;
    job.Reset(-1);
    job.AddPool(wxT("12|Main"));
    wxArrayString scenes;
    patterns.Expand(Pattern(state.range(0)), scenes);
    CRSRenderSetValue* value = job.GetRenderSet().GetOrAddValue(wxT("scene"));
    value->Strings.reserve(scenes.size());
    for (const wxString& scene : scenes) value->AddString(scene);
    CNetJobPacketMsg packet;
    packet.MarshalFrom(job);
    CMemoryStream stream;
    packet.WriteData(stream);
    benchmark::DoNotOptimize(stream.Size());
    state.counters["body_bytes"] = stream.Size();
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SubmitFramePattern)
    ->Arg(10000)
    ->Arg(100000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
