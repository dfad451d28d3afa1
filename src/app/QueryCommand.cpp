#include "app/QueryCommand.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "app/KfJsCore.h"
#include "net/DataQueryMsg.h"
#include "net/NwUserCommander.h"
#include "platform/FileIO.h"

CQueryCommand::Asker CQueryCommand::FromCommander(CNwUserCommander& commander) {
  return [&commander](const wxString& query, std::string* answer) {
    CNetMsgAckResult result =
        commander.RequestAndWait(CDataQueryMsg::kType, 0, wxString(), query);
    if (!result.IsSuccess()) return false;
    // A large answer is handed over, not copied.
    const std::unique_ptr<CMsgBase> attached = result.TakeAttached();
    auto* message = dynamic_cast<CDataQueryMsg*>(attached.get());
    if (!message) return false;
    *answer = message->TakeUtf8Text();
    return true;
  };
}

void CQueryCommand::Run(const wxString& query, const wxString& outputFile) {
  std::string answer;
  if (!m_asker || !m_asker(query, &answer)) {
    // Shown even under -compact: a script must tell a failure from an
    // empty answer, although the exit code is 0 as for every listing.
    m_core.OutputLevel(CConsole::kLevelError, wxT("Failed to query the server\n"));
    return;
  }
  if (!outputFile.empty()) {
    WriteAnswerFile(outputFile, answer);
    return;
  }
  const bool quiet = m_core.IsQuiet();
  m_core.SetQuiet(false);
  // Printed as it is: formatting a large answer would copy it several times.
  m_core.OutputUtf8(answer);
  m_core.OutputText(wxT("\n"));
  m_core.SetQuiet(quiet);
}

bool CQueryCommand::WriteAnswerFile(const wxString& path, const wxString& text) {
  const wxScopedCharBuffer bytes = text.utf8_str();
  return WriteAnswerFile(path, std::string(bytes.data(), bytes.length()));
}

bool CQueryCommand::WriteAnswerFile(const wxString& path, const std::string& bytes) {
  const wxScopedCharBuffer name = path.utf8_str();
  // The user's own output, written like a shell's ">" writes it: created or
  // emptied in place, so a link is followed and a hard link keeps its names.
  const int fd = open(name.data(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const char* data = bytes.data();
  size_t left = bytes.length();
  bool ok = true;
  while (left > 0) {
    const ssize_t written = write(fd, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      ok = false;
      break;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  return close(fd) == 0 && ok;
}
