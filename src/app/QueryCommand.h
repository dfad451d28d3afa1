// The free-form query: the query texts go to the server as one data query,
// and its answer is shown, or written to the file named by the first free
// argument. The server interprets the texts; this side passes them through.
#pragma once

#include <wx/string.h>

#include <functional>
#include <string>

class CKfJsCore;
class CNwUserCommander;

class CQueryCommand {
 public:
  // Asks the server; true with the answer (UTF-8), false when the query failed.
  using Asker = std::function<bool(const wxString& query, std::string* answer)>;

  CQueryCommand(CKfJsCore& core, Asker asker) : m_core(core), m_asker(std::move(asker)) {}

  // The asker of a logged-on commander: a data query acknowledged with the
  // answer attached.
  static Asker FromCommander(CNwUserCommander& commander);

  // Sends `query`; the answer goes to `outputFile` when one is named (a file
  // that cannot be written is skipped silently), else to the console.
  void Run(const wxString& query, const wxString& outputFile);

  // Writes `text` as UTF-8 to `path`, created or truncated in place with
  // permissions 0666 before the umask, as a shell's ">" would.
  static bool WriteAnswerFile(const wxString& path, const wxString& text);
  static bool WriteAnswerFile(const wxString& path, const std::string& utf8);

 private:
  CKfJsCore& m_core;
  Asker m_asker;
};
