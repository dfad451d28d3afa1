#include "rs/RSExecutables.h"

#include "rs/RSXml.h"

using namespace rsxml;

namespace {

void SaveEntry(CDataNode& node, const char* name, const CRSExecutables::Entry& e) {
  CDataNode* os = node.AddChild(name);
  WriteString(*os, "_32bit", e.Bit32);
  WriteString(*os, "_32bit_SearchPath", e.Bit32SearchPath);
  WriteString(*os, "_64bit", e.Bit64);
  WriteString(*os, "_64bit_SearchPath", e.Bit64SearchPath);
}

void LoadEntry(const CDataNode& node, const char* name, CRSExecutables::Entry* e) {
  const CDataNode* os = node.FindChild(name);
  if (!os) return;
  ReadStringInto(*os, "_32bit", &e->Bit32);
  ReadStringInto(*os, "_32bit_SearchPath", &e->Bit32SearchPath);
  ReadStringInto(*os, "_64bit", &e->Bit64);
  ReadStringInto(*os, "_64bit_SearchPath", &e->Bit64SearchPath);
}

}  // namespace

void CRSExecutables::Save(CDataNode& node, int /*mode*/) {
  SaveCommon(node);
  SaveEntry(node, "Windows", Windows);
  SaveEntry(node, "Linux", Linux);
  SaveEntry(node, "Macintosh", Macintosh);
  WriteString(node, "Info", Info);
}

bool CRSExecutables::Load(const CDataNode& node, int /*mode*/) {
  LoadCommon(node);
  LoadEntry(node, "Windows", &Windows);
  LoadEntry(node, "Linux", &Linux);
  LoadEntry(node, "Macintosh", &Macintosh);
  ReadStringInto(node, "Info", &Info);
  return true;
}

void CRSExecutables::Reset() {
  Inherited = Disabled = false;
  Windows = Entry();
  Linux = Entry();
  Macintosh = Entry();
  Info.clear();
}

void CRSExecutables::CopyFrom(const CRSComponent& other) {
  CRSComponent::CopyFrom(other);
  if (const auto* e = dynamic_cast<const CRSExecutables*>(&other)) {
    Windows = e->Windows;
    Linux = e->Linux;
    Macintosh = e->Macintosh;
    Info = e->Info;
  }
}
