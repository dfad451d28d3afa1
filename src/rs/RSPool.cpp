#include "rs/RSPool.h"

#include "rs/DataXMLSerializer.h"
#include "platform/FileIO.h"
#include "rs/RSVersion.h"
#include "rs/RSXml.h"

namespace {

struct StandardParameter {
  const wxChar* id;
  int type;
  unsigned flags;
  const wxChar* displayName;
  const wxChar* group;
  const wxChar* help;
  bool splittable;
  bool settable;
};

const StandardParameter kStandard[] = {
    {wxT("frames"), 2, 3, wxT("Frame list"), wxT("Frame range"),
     wxT("Frame list for an animation sequence"), true, true},
    {wxT("sf"), 2, 0, wxT("Start frame"), wxT("Frame range"),
     wxT("Start frame for an animation sequence"), false, false},
    {wxT("ef"), 2, 0, wxT("End frame"), wxT("Frame range"),
     wxT("End frame for an animation sequence"), false, false},
    {wxT("fstep"), 2, 0, wxT("Frame step"), wxT("Frame range"),
     wxT("Frame step for an animation sequence"), false, true},
    {wxT("sfnum"), 1, 0, wxT("Start frame number"), wxT("Frame range"),
     wxT("Starting number for the output filename frame number extension"), false, true},
    {wxT("foffset"), 1, 0, wxT("Frame number offset"), wxT("Frame range"),
     wxT("Frame number step for the output filename frame number extension"), false, true},
    {wxT("fpadding"), 1, 0, wxT("Frame number padding"), wxT("Frame range"),
     wxT("Frame number padding for the output filename frame number extension"), false, true},
    {wxT("width"), 1, 0, wxT("Image width"), wxT("Image options"), wxT("The width of the image"),
     false, true},
    {wxT("height"), 1, 0, wxT("Image height"), wxT("Image options"), wxT("The height of the image"),
     false, true},
    {wxT("left"), 2, 0, wxT("x left"), wxT("Image options"),
     wxT("Left x-coordinate of the image region"), false, true},
    {wxT("right"), 2, 0, wxT("x right"), wxT("Image options"),
     wxT("Right x-coordinate of the image region"), false, true},
    {wxT("top"), 2, 0, wxT("y top"), wxT("Image options"),
     wxT("Top y-coordinate of the image region"), false, true},
    {wxT("bottom"), 2, 0, wxT("y bottom"), wxT("Image options"),
     wxT("Bottom y-coordinate of the image region"), false, true},
    {wxT("camera"), 0, 1, wxT("Camera"), wxT("Render settings"), wxT("The camera(s) to render"),
     true, true},
    {wxT("layer"), 0, 1, wxT("Layer"), wxT("Render settings"), wxT("The render layer(s) to render"),
     true, true},
    {wxT("threads"), 1, 0, wxT("Threads"), wxT("Performance"), wxT("Number of threads to use"),
     false, true},
    {wxT("scriptfile"), 6, 0, wxT("Script filename"), wxT("General"),
     wxT("The filename of the script generated from the script template"), false, false},
    {wxT("addcmds"), 0, 4, wxT("Additional commands"), wxT("General"),
     wxT("Add additional commands that will be passed \"as-is\" to the renderer"), false, true},
    {wxT("scene"), 6, 1, wxT("Scene"), wxT("Files and paths"), wxT("The scene/source file"), true,
     false},
    {wxT("outdir"), 7, 0, wxT("Output directoy"), wxT("Files and paths"),
     wxT("The output directory"), false, false},
    {wxT("outfile"), 6, 0, wxT("Output file"), wxT("Files and paths"), wxT("The output filename"),
     false, false},
    {wxT("outfile_full"), 6, 0, wxT("Output file (with path)"), wxT("Files and paths"),
     wxT("The output filename (with path)"), false, false},
    {wxT("projdir"), 7, 0, wxT("Project directory"), wxT("Files and paths"),
     wxT("The project directory"), false, false},
};

}  // namespace

CRSPool::CRSPool() : Renderers(true) {}

CRSPool::~CRSPool() {
  // Renderers first: each leaves its group while the group still exists.
  Renderers.Clear(true);
  Groups.Clear(true);
}

bool CRSPool::Init(const wxString& path) {
  Path = path;
  Groups.SetPool(this);
  Renderers.SetPool(this);
  StandardParameters.SetPool(this);
  StandardParameters.Clear(true);
  for (const StandardParameter& s : kStandard) {
    CRSParameter* p = StandardParameters.AddNew();
    p->ID = s.id;
    p->Type = s.type;
    p->TypeFlags = s.flags;
    p->DisplayName = s.displayName;
    p->Group = s.group;
    p->Help = s.help;
    p->SplittableList = s.splittable;
    p->Settable = s.settable;
    p->Standard = true;
    if (p->ID == wxT("scene")) {
      p->Mandatory = true;
      p->ListSeparator = wxT(" ");
      p->QuoteSplits = true;
    }
  }
  return true;
}

bool CRSPool::SaveIndex() {
  CDataNode root;
  root.SetName(wxT("Pool"));
  rsxml::WriteInt(root, "UpdateIndex", UpdateIndex);
  if (!CFileIO::IsDir(Path)) CFileIO::MakeDirs(Path);
  return CDataXMLSerializer(&root).SaveFile(CFileIO::JoinPath(Path, wxT("Pool.xml")));
}

bool CRSPool::LoadIndex() {
  const wxString file = CFileIO::JoinPath(Path, wxT("Pool.xml"));
  if (!CFileIO::IsFile(file)) return false;
  CDataNode root;
  if (!CDataXMLSerializer(&root).LoadFile(file) || root.GetNameUTF8().empty()) return false;
  UpdateIndex = rsxml::ReadInt(root, "UpdateIndex", -1);
  return true;
}

CRSVersion* CRSPool::FindVersion(const wxString& id) const {
  const int slash = id.Find(wxT('/'));
  if (slash == wxNOT_FOUND) return nullptr;
  wxString renderer = id.Left(static_cast<size_t>(slash));
  wxString version = id.Mid(static_cast<size_t>(slash) + 1).BeforeFirst(wxT('/'));
  renderer.Trim(true).Trim(false);
  version.Trim(true).Trim(false);
  if (renderer.empty() || version.empty()) return nullptr;
  const CRSRenderer* r = Renderers.FindByKey(renderer);
  return r ? r->Versions.FindByKey(version) : nullptr;
}

void CRSPool::Clear() {
  Renderers.Clear(true);
  Groups.Clear(true);
}
