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
  const char* displayName;
  const char* group;
  const char* help;
  bool splittable;
  bool settable;
};

const StandardParameter kStandard[] = {
    {wxT("frames"), 2, 3, "Frame list", "Frame range",
     "Frame list for an animation sequence", true, true},
    {wxT("sf"), 2, 0, "Start frame", "Frame range",
     "Start frame for an animation sequence", false, false},
    {wxT("ef"), 2, 0, "End frame", "Frame range",
     "End frame for an animation sequence", false, false},
    {wxT("fstep"), 2, 0, "Frame step", "Frame range",
     "Frame step for an animation sequence", false, true},
    {wxT("sfnum"), 1, 0, "Start frame number", "Frame range",
     "Starting number for the output filename frame number extension", false, true},
    {wxT("foffset"), 1, 0, "Frame number offset", "Frame range",
     "Frame number step for the output filename frame number extension", false, true},
    {wxT("fpadding"), 1, 0, "Frame number padding", "Frame range",
     "Frame number padding for the output filename frame number extension", false, true},
    {wxT("width"), 1, 0, "Image width", "Image options", "The width of the image",
     false, true},
    {wxT("height"), 1, 0, "Image height", "Image options", "The height of the image",
     false, true},
    {wxT("left"), 2, 0, "x left", "Image options",
     "Left x-coordinate of the image region", false, true},
    {wxT("right"), 2, 0, "x right", "Image options",
     "Right x-coordinate of the image region", false, true},
    {wxT("top"), 2, 0, "y top", "Image options",
     "Top y-coordinate of the image region", false, true},
    {wxT("bottom"), 2, 0, "y bottom", "Image options",
     "Bottom y-coordinate of the image region", false, true},
    {wxT("camera"), 0, 1, "Camera", "Render settings", "The camera(s) to render",
     true, true},
    {wxT("layer"), 0, 1, "Layer", "Render settings", "The render layer(s) to render",
     true, true},
    {wxT("threads"), 1, 0, "Threads", "Performance", "Number of threads to use",
     false, true},
    {wxT("scriptfile"), 6, 0, "Script filename", "General",
     "The filename of the script generated from the script template", false, false},
    {wxT("addcmds"), 0, 4, "Additional commands", "General",
     "Add additional commands that will be passed \"as-is\" to the renderer", false, true},
    {wxT("scene"), 6, 1, "Scene", "Files and paths", "The scene/source file", true,
     false},
    {wxT("outdir"), 7, 0, "Output directoy", "Files and paths",
     "The output directory", false, false},
    {wxT("outfile"), 6, 0, "Output file", "Files and paths", "The output filename",
     false, false},
    {wxT("outfile_full"), 6, 0, "Output file (with path)", "Files and paths",
     "The output filename (with path)", false, false},
    {wxT("projdir"), 7, 0, "Project directory", "Files and paths",
     "The project directory", false, false},
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
      p->ListSeparator = " ";
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
