// The values of one net job as they travel to the server, copied out of the
// net job, and their byte layout: 63 items in a fixed order, integers
// little-endian, booleans as one byte, texts as UTF-8 with a closing zero
// byte, lists as a 32-bit count followed by the items.
#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

#include <string>
#include <vector>

#include "netjob/JsNetJobBase.h"

class CNetJobPacketBody {
 public:
  // Copies every value that goes on the wire out of `job`; the body keeps no
  // reference to it afterwards.
  bool MarshalFrom(CJsNetJobBase& job);

  // Appends the body bytes, in wire order, to `out`.
  void Write(std::string& out) const;

  // The name of the renderer as the server knows it: "Group/Renderer", or
  // the renderer alone when it has no group; empty without a renderer.
  static wxString RendererFullName(const CRSVersion* version);

  // The values, in wire order.
  int leading = 0;
  int id = -1;
  wxString reserved;
  wxString name;
  unsigned color = CNetJobCore::kNoColor;
  int priority = 0;
  bool urgent = false;
  wxString renderer;
  bool use32Bit = false;
  bool use64Bit = false;
  int renderCoreCount = 0;
  bool sendEmails = false;
  bool cacheScenesLocally = false;
  NetJobSplitMode splitMode;
  NetJobSliceMode sliceMode;
  wxArrayString extendedSplitting;
  int chunkDispatchOrder = 0;
  bool firstLastFirst = false;
  NetJobSchedule schedule;
  int clientLimit = 0;
  int minClientPriority = 0;
  int minClientMemory = 0;
  int minDispatchDelay = 0;
  std::vector<int> dependencies;
  int dependencyType = 0;
  bool unfinishedAsDone = false;
  NetJobTimeThresholds timeThresholds;
  int errorAction = 0;
  int errorTolerance = 0;
  bool includeRecreatedChunks = false;
  NetJobFrameChecking frameChecking;
  CNetJobEventList events;
  wxString emailRecipients;
  wxArrayString emailUsers;
  wxString project;
  wxString notes;
  wxString tags;
  wxString customFields;
  bool startPaused = false;
  wxArrayString pools;
  wxArrayString clientList;
  bool clientListAdmitsOnly = false;
  std::string renderSettings;  // the render set as XML text, UTF-8
};
