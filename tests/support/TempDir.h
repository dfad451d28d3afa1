// A fresh temporary folder for one test, removed with everything in it.
#pragma once

#include <sys/stat.h>
#include <wx/string.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kfxss.XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
  }
  // The folder, without and with a trailing "/".
  wxString Path() const { return wxString::FromUTF8(m_path); }
  wxString Dir() const { return wxString::FromUTF8(m_path + "/"); }
  wxString Path(const std::string& name) const { return wxString::FromUTF8(Native(name)); }
  // The path of `name` as the system calls take it.
  std::string Native(const std::string& name) const { return m_path + "/" + name; }
  // The permission bits of `name` (links followed), -1 when it is missing.
  int Mode(const std::string& name) const {
    struct stat st;
    return ::stat(Native(name).c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : -1;
  }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Native(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Native(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(Native(name)); }
  // Names in the folder, to see that no temporary file was left behind.
  size_t Count() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(m_path),
                                             std::filesystem::directory_iterator()));
  }

 private:
  std::string m_path;
};
