// Where the groups and renderers of a renderer cache document (a Pool/1.0
// exchange document) lie in its bytes, so that one renderer can later be read
// without the rest of the file. Only the form the data tree's writer produces
// is mapped: elements without attributes, and no comments, declarations,
// processing instructions or CDATA sections, so that an element's bytes read
// alone give the same subtree as in the whole document. A group must hold its
// "Renderers" as its last child element, so that what precedes it is the
// whole of the group's own data. Anything else is left to the full read.
#pragma once

#include <wx/string.h>

#include <cstddef>
#include <string>
#include <vector>

class CRSCacheLayout {
 public:
  struct Renderer {
    size_t begin = 0;  // the "<" of its start tag
    size_t end = 0;    // just after its end tag
    wxString name;     // its first "Name" child, as the load reads it
  };
  struct Group {
    size_t begin = 0;      // the "<" of its start tag
    size_t headerEnd = 0;  // just after the start tag of "Renderers"; 0 without one
    wxString name;
    std::vector<Renderer> renderers;
  };

  // False when the document is not in the writer's form.
  bool Scan(const std::string& document);
  const std::vector<Group>& GetGroups() const { return m_groups; }

 private:
  // What an open element is to the load of a pool.
  enum class Role {
    kOther, kRoot, kContent, kGroup, kGroupName, kRenderers, kRenderer, kRendererName
  };
  struct Open {
    Role role;
    size_t name;    // where its name starts in the document
    size_t length;  // and how long it is
  };
  struct NameRange {
    size_t begin = 0, end = 0;
  };

  bool StartElement(const std::string& doc, size_t lt, size_t gt);
  bool EndElement(const std::string& doc, size_t lt, size_t gt);
  static wxString ReadName(const std::string& doc, const NameRange& range);

  std::vector<Group> m_groups;
  std::vector<NameRange> m_groupNames;
  std::vector<std::vector<NameRange>> m_rendererNames;
  std::vector<Open> m_stack;
  bool m_contentSeen = false;
  bool m_renderersClosed = false;
};
