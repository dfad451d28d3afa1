// Reads one XML document, given in pieces of any size, into a data tree
// builder: the plain scanner takes the document as long as it is in the
// writer's own form, and the full parser goes on from the first byte the
// scanner does not take, primed with the markup that brings it to where the
// scanner stopped, so that every document reads as the full parser alone
// would read it. "&nbsp;", which is not an XML entity, reads as a blank.
#pragma once

#include "rs/PlainXmlScanner.h"

#include <expat.h>
#include <wx/string.h>

#include <memory>

class CDataTreeBuilder;

class CXmlDocumentReader {
 public:
  // With `fullParserOnly` the full parser reads the whole document.
  CXmlDocumentReader(CDataTreeBuilder* builder, bool fullParserOnly);
  ~CXmlDocumentReader();
  CXmlDocumentReader(const CXmlDocumentReader&) = delete;
  CXmlDocumentReader& operator=(const CXmlDocumentReader&) = delete;

  // False once the document is refused.
  bool Feed(const char* data, size_t length);
  // True when the whole document was read.
  bool Finish();

  // Why the full parser refused the document; empty when it did not.
  wxString ParseError() const;

 private:
  class NbspFeeder;

  NbspFeeder* Parser();

  CDataTreeBuilder* m_builder;
  CPlainXmlScanner m_scanner;
  bool m_scanning;
  XML_Parser m_parser = nullptr;
  std::unique_ptr<NbspFeeder> m_feeder;
  unsigned long m_lineFeeds = 0;
  bool m_handedOver = false;
  bool m_outOfMemory = false;
};
