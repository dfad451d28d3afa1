// Builds a data tree from what the plain scanner or the full XML parser reads
// in a document, and refuses a document nested too deep or larger than the
// tree's memory budget by stopping the reader. A run of character data ends at
// any markup; runs made only of white space with a raw line feed, carriage
// return or tab are layout, and around child elements the layout characters at
// the ends of a run are layout too.
#pragma once

#include "net/MemoryBudget.h"
#include "rs/DataXMLSerializer.h"
#include "rs/PlainXmlScanner.h"

#include <expat.h>

#include <string>
#include <vector>

class CDataTreeBuilder : public CPlainXmlScanner::Sink {
 public:
  // Builds into `root`; elements at depths 1 to `handlerDepth` go to `handler`
  // as they end (see CDataXMLSerializer::SetElementHandler).
  CDataTreeBuilder(CDataNode* root, size_t budget,
                   const CDataXMLSerializer::ElementHandler& handler, int handlerDepth);
  // Nodes of elements that never ended belong to no tree yet.
  ~CDataTreeBuilder() override;

  // From now on the full parser reports to this builder, which stops it when
  // the document is refused.
  void Attach(XML_Parser parser);

  bool SawRoot() const { return m_sawRoot; }
  bool TooDeep() const { return m_tooDeep; }
  bool OverBudget() const { return m_budget.IsOver(); }

  bool StartElement(const char* name, size_t nameLength) override;
  bool EndElement() override;
  bool Text(const char* text, size_t length) override;

 private:
  enum class Boundary { kChild, kEnd, kOther };

  // An open element; its finished children wait in m_pending from `first`
  // on and move into the node, in one piece, when the element ends; its node
  // and those of its subtree are in m_built from `built` on. `hadChild` stays
  // set when a child was handed over and left the tree, so that the text
  // around it is read as if the child were still there.
  struct Open {
    CDataNode* node;
    size_t first;
    size_t built;
    bool hadChild;
  };

  // The run of text read so far ends at markup of the kind `boundary`.
  void Flush(Boundary boundary);
  void Append(CDataNode* node, const char* run, size_t length);
  CDataNode* NewNode(CDataNode* parent);
  void Recycle(size_t from);
  bool ChargeNode(size_t nameLength);
  bool ChargeText(size_t length);
  bool Stop(bool fitted);

  static void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attrs);
  static void XMLCALL OnEnd(void* data, const XML_Char* name);
  static void XMLCALL OnText(void* data, const XML_Char* text, int length);
  static void XMLCALL OnComment(void* data, const XML_Char* text);
  static void XMLCALL OnInstruction(void* data, const XML_Char* target, const XML_Char* text);
  static void XMLCALL OnCdataStart(void* data);
  static void XMLCALL OnCdataEnd(void* data);

  XML_Parser m_parser = nullptr;
  CDataNode* m_root;
  CMemoryBudget m_budget;
  const CDataXMLSerializer::ElementHandler& m_handler;
  int m_handlerDepth;
  std::vector<Open> m_stack;
  std::vector<CDataNode*> m_pending;
  std::vector<CDataNode*> m_spare;
  size_t m_nextSpare = 0;
  // The nodes below the root still in the tree, in the order they were
  // built, which is document order: a subtree's nodes follow its own.
  std::vector<CDataNode*> m_built;
  std::string m_text;
  std::string m_undone;
  bool m_inCdata = false;
  bool m_stopped = false;
  bool m_sawRoot = false;
  bool m_tooDeep = false;
};
