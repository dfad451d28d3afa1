// Reads the plain form of XML that the data tree's writer produces (elements
// and text, no attributes, comments, declarations or carriage returns) several
// times faster than a full parser, and gives up, without a word, where a
// document leaves that form: the caller then hands the rest to the full parser,
// primed with ReplayPrefix(), so that what the scanner took and what the parser
// takes read as one document. Whatever it accepts, the full parser would
// accept with the same elements and the same character data, so the two
// together behave exactly as the full parser alone.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CPlainXmlScanner {
 public:
  // Receives the document as a full parser would report it. Each call returns
  // false to stop the scan.
  class Sink {
   public:
    virtual ~Sink() = default;
    virtual bool StartElement(const char* name, size_t length) = 0;
    virtual bool EndElement() = 0;
    // Character data of the open element, in pieces of any size.
    virtual bool Text(const char* data, size_t length) = 0;
  };

  enum class Status {
    kOk,       // everything given was taken (an unfinished token waits for more)
    kStopped,  // the sink stopped the scan
    kLeft,     // the document left the plain form at Rest()
  };

  explicit CPlainXmlScanner(Sink* sink) : m_sink(sink) {}

  Status Feed(const char* data, size_t length);
  // The end of the document. kOk only for a complete document; an unfinished
  // one leaves with what is left, so that the full parser names the fault.
  Status Finish();

  // After kLeft: the bytes not taken, valid until the next call.
  const char* RestData() const { return m_rest; }
  size_t RestLength() const { return m_restLength; }
  // Markup that brings a full parser to where the scan left: the open elements'
  // start tags, or an empty root once the root has ended.
  std::string ReplayPrefix() const;
  // Line feeds taken, for the line numbers of the full parser's errors.
  unsigned long LineFeeds() const { return m_lineFeeds; }

  // Tokens longer than this are left to the full parser, so that an
  // unfinished one is never held at any length.
  static constexpr size_t kMaxTagBytes = 4096;

 private:
  Status Scan(const char* p, const char* end);
  // One token at `p`; advances `p`, or sets `*wait` when it is not complete.
  Status Tag(const char*& p, const char* end, bool* wait);
  Status Reference(const char*& p, const char* end, bool* wait);
  Status Characters(const char*& p, const char* end, bool* wait);
  Status Leave(const char* at, const char* end);

  Sink* m_sink;
  std::string m_held;    // an unfinished token, waiting for the next piece
  std::string m_joined;  // that token joined with the piece after it
  std::string m_names;   // the open elements' names, one after the other
  std::vector<size_t> m_starts;  // where each open name begins in m_names
  bool m_rootSeen = false;
  unsigned long m_lineFeeds = 0;
  const char* m_rest = nullptr;
  size_t m_restLength = 0;
};
