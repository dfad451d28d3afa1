// The command line: the fuzzer's bytes as the process arguments (separated by
// NUL bytes, as the kernel hands them over), optionally with a defaults file
// of the fuzzer's making. The program's command line parses them and resolves
// every switch; an accepted command line is then applied to a net job against
// a small renderer pool, and the job is marshalled into its packet.
// Input: a flags byte; with bit 1, a 16-bit length and that many bytes of the
// defaults file; then the arguments.
#include "FuzzSupport.h"

#include "app/CmdLineSupport.h"
#include "app/KfJsCmdLine.h"
#include "app/KfJsCore.h"
#include "app/ProcessArguments.h"
#include "net/UserData.h"
#include "netjob/JsNetJob.h"
#include "netjob/NetJobPacketMsg.h"
#include "platform/FileIO.h"
#include "rs/DataXMLSerializer.h"
#include "rs/RSPool.h"

#include <unistd.h>

#include <memory>
#include <string>

namespace {

// The renderer pool of the unit tests, loaded once.
CRSPool& Pool() {
  static CRSPool* pool = [] {
    auto* p = new CRSPool();
    p->Init(wxT("/nonexistent/kf-fuzz-pool"));
    std::string xml;
    CDataNode root;
    if (!CFileIO::ReadBytes(wxT(KF_TEST_DATA_DIR "/netjob/renderers.xml"), &xml) ||
        !CDataXMLSerializer(&root).ParseUTF8(xml) || !p->Renderers.Load(root, 1))
      kffuzz::Fail("the test renderer pool does not load");
    return p;
  }();
  return *pool;
}

// A private file for the defaults, removed at exit.
const wxString& DefaultsPath() {
  static const wxString path = [] {
    char name[] = "/tmp/kf-fuzz-defaults-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) kffuzz::Fail("no temporary file");
    ::close(fd);
    static const std::string keep = name;
    std::atexit([] { ::unlink(keep.c_str()); });
    return wxString::FromUTF8(name);
  }();
  return path;
}

void ResolveEverything(CKfJsCmdLine& cmdLine) {
  const CKfCmdLineSwitches& table = cmdLine.GetSwitches();
  for (size_t i = 0; i < table.GetCount(); ++i) {
    const wxString& name = table.Item(i).name;
    wxString text;
    long number = 0;
    cmdLine.GetSwitchString(name, &text);
    cmdLine.GetSwitchLong(name, &number);
    cmdLine.GetSwitchValues(name);
  }
  cmdLine.GetUndeclaredSwitches();
  cmdLine.FormatUsage();
  cmdLine.CheckSwitches();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kffuzz::Init();
  kffuzz::SilentCore();
  kffuzz::Input input(data, size);
  const uint8_t flags = input.Byte();
  CKfJsCmdLine cmdLine;
  if (flags & 1) {
    const size_t length = size_t(input.Byte()) | size_t(input.Byte()) << 8;
    if (!CFileIO::WriteAtomically(DefaultsPath(), input.Take(length))) return 0;
    cmdLine.SetDefaultsFile(DefaultsPath());
  }
  cmdLine.SetArguments(SplitProcessArguments("KfRcCmd" + std::string(1, '\0') + input.Rest()));
  const bool parsed = cmdLine.Parse();
  ResolveEverything(cmdLine);
  if (!parsed) return 0;

  CUserData user;
  wxArrayString pools;
  pools.Add(wxT("12|Main"));
  pools.Add(wxT("14|Lighting"));
  user.SetPools(pools);
  user.SetPriorityLimit(8);
  CJsNetJob job;
  job.Reset(-1);
  CCmdLineSupport support(job, cmdLine, Pool(), &user);
  support.SetProgramDir(wxT("/nonexistent/kf-fuzz-program"));
  support.GetScenePattern().SetFolderLister([](const wxString&, wxArrayString& names) {
    names.Add(wxT("a.ma"));
    names.Add(wxT("b.mb"));
    names.Add(wxT("shot_0001.ma"));
  });
  if (!support.Apply()) return 0;
  CNetJobPacketMsg packet;
  packet.MarshalFrom(job);
  CMemoryStream stream(CMemoryStream::kWrite);
  packet.Serialize(stream);
  return 0;
}
