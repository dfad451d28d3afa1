// Turns a data tree into XML text and back. The writer emits one element per
// node (tabs and line feeds for layout, no declaration, no attributes); an
// element may carry text and child elements at once. Texts are escaped so that
// every value reads back exactly: backslash, line feed, carriage return and tab
// become \\, \n, \r, \t, and the raw line feeds and tabs of the layout are
// therefore never mistaken for part of a value.
#pragma once

#include "rs/DataNode.h"

#include <wx/string.h>

#include <functional>
#include <string>

class CReadOnlyFile;

class CDataXMLSerializer {
 public:
  // Bound to `root` for its whole life; does not own it.
  explicit CDataXMLSerializer(CDataNode* root) : m_root(root) {}

  // Replaces the tree by the document in `text`. False (with the root reset)
  // when the text is not a well-formed document.
  bool ParseText(const wxString& text);
  bool ParseUTF8(const char* data, size_t length);
  bool ParseUTF8(const std::string& text) { return ParseUTF8(text.data(), text.size()); }

  // Parses the open file from its start, read in pieces, so that its whole
  // text is never held; false as ParseUTF8, or with "cannot read" and `path`
  // when the file is larger than `maxBytes` or shorter than when it was
  // opened (then even when the text read so far did not parse).
  bool ParseFile(CReadOnlyFile& file, const wxString& path, size_t maxBytes = kMaxFileBytes);

  // Is told of every element at depths 1 to `maxDepth` (the root is at 0) as
  // its end tag is parsed, with its whole subtree; returning true takes the
  // element: it leaves the tree and is freed at once, so that a large
  // document can be consumed without its whole tree existing. What the
  // budget charged for it stays charged.
  using ElementHandler = std::function<bool(const CDataNode& element, int depth)>;
  void SetElementHandler(ElementHandler handler, int maxDepth) {
    m_handler = std::move(handler);
    m_handlerDepth = maxDepth;
  }

  // Reads the file and parses it; an empty file succeeds and leaves the tree
  // as it was. False when the file cannot be read or parsed.
  bool LoadFile(const wxString& path, size_t maxBytes = kMaxFileBytes);

  wxString ToText() const;
  std::string ToUTF8() const;
  // Writes ToUTF8() to `path`, replacing the file atomically.
  bool SaveFile(const wxString& path) const;

  // Why the last parse or file operation failed.
  const wxString& GetError() const { return m_error; }

  // The text as the writer puts it between the tags (exposed for tests).
  static void AppendEscaped(std::string* out, const std::string& text);
  // How many bytes AppendEscaped appends for `text`.
  static size_t EscapedLength(const std::string& text);
  // Resolves what is left of a parsed text: backslash sequences, then the
  // escapes of the writer in their order.
  static void Unescape(std::string* text);

  // Documents nested deeper than this are refused.
  static constexpr int kMaxDepth = 256;
  // Memory a parsed tree may take, counted as a fixed cost per node plus its
  // name and texts: a document that would build more is refused, whatever
  // its size on disk or on the wire.
  static constexpr size_t kMaxTreeBytes = 256u * 1024 * 1024;
  static constexpr size_t kNodeCost = 160;
  // Files larger than this are not read at all: the renderer cache holds no
  // more than a download may bring.
  static constexpr size_t kMaxFileBytes = 64u * 1024 * 1024;

  // A smaller budget (tests).
  void SetTreeBudget(size_t bytes) { m_treeBudget = bytes; }
  // Documents in the writer's own form are read by a plain scanner that hands
  // anything else to the full parser; tests compare the two readers.
  void SetFullParserOnly(bool fullParserOnly) { m_fullParserOnly = fullParserOnly; }

 private:
  // Hands the parser the document's bytes, in pieces of any size; false
  // once the parse has stopped.
  using Feed = std::function<bool(const char* data, size_t length)>;
  // Reads the document into a Feed; false when the reading failed.
  using Source = std::function<bool(const Feed& feed)>;
  bool Parse(const Source& source);

  CDataNode* m_root;
  size_t m_treeBudget = kMaxTreeBytes;
  ElementHandler m_handler;
  int m_handlerDepth = 0;
  bool m_fullParserOnly = false;
  mutable wxString m_error;
};
