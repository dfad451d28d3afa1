#include "rs/RSXml.h"

#include "platform/Utf8.h"

#include <charconv>
#include <cstdio>

namespace rsxml {
namespace {

const char* SkipBlanks(const char* p, const char* end) {
  while (p < end &&
         (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f')) {
    ++p;
  }
  return p;
}

// Leading decimal integer with optional sign, as a 64-bit value saturating far
// beyond the 32-bit range.
int64_t ParseLeading(const std::string& text) {
  const char* p = SkipBlanks(text.data(), text.data() + text.size());
  const char* end = text.data() + text.size();
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  int64_t value = 0;
  for (; p < end && *p >= '0' && *p <= '9'; ++p) {
    if (value < (int64_t{1} << 40)) value = value * 10 + (*p - '0');
  }
  return negative ? -value : value;
}

}  // namespace

bool ParseBool(const std::string& text) {
  // The one word of the text's length that reads as true.
  static const char* const kTrueWords[] = {nullptr, "1", "on", "yes", "true"};
  if (text.size() >= sizeof(kTrueWords) / sizeof(kTrueWords[0]) || text.empty()) return false;
  const char* word = kTrueWords[text.size()];
  for (const char c : text) {
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != *word++) return false;
  }
  return true;
}

int32_t ParseInt(const std::string& text) {
  return static_cast<int32_t>(static_cast<uint32_t>(ParseLeading(text)));
}

uint32_t ParseUInt(const std::string& text) { return static_cast<uint32_t>(ParseLeading(text)); }

float ParseFloat(const std::string& text) {
  const char* end = text.data() + text.size();
  const char* p = SkipBlanks(text.data(), end);
  if (p < end && *p == '+') ++p;
  float value = 0.0f;
  const auto result = std::from_chars(p, end, value);
  return result.ec == std::errc() ? value : 0.0f;
}

std::string FormatFloat(float value) {
  char buffer[128];
  const auto result = std::to_chars(buffer, buffer + sizeof(buffer), static_cast<double>(value),
                                    std::chars_format::fixed, 6);
  if (result.ec != std::errc()) return "0.000000";
  return std::string(buffer, result.ptr);
}

wxString ReadString(const CDataNode& node, const char* name, const wxString& def) {
  const CDataNode* child = node.FindChild(name);
  return child ? child->GetText() : def;
}

void ReadStringInto(const CDataNode& node, const char* name, wxString* field) {
  const CDataNode* child = node.FindChild(name);
  if (child) {
    utf8text::Assign(field, child->GetTextUTF8());
  } else {
    field->clear();
  }
}

std::string ReadStringUTF8(const CDataNode& node, const char* name, const std::string& def) {
  const CDataNode* child = node.FindChild(name);
  return child ? TextUTF8(*child) : def;
}

std::string TextUTF8(const CDataNode& node) {
  std::string text;
  TextUTF8Into(node, &text);
  return text;
}

void TextUTF8Into(const CDataNode& node, std::string* text) {
  const std::string& own = node.GetTextUTF8();
  if (utf8text::IsValid(own.data(), own.size())) {
    text->assign(own);
  } else {
    *text = utf8text::From(utf8text::ToWx(own));
  }
}

bool ReadBool(const CDataNode& node, const char* name, bool def) {
  const CDataNode* child = node.FindChild(name);
  return child ? ParseBool(child->GetTextUTF8()) : def;
}

int32_t ReadInt(const CDataNode& node, const char* name, int32_t def) {
  const CDataNode* child = node.FindChild(name);
  return child ? ParseInt(child->GetTextUTF8()) : def;
}

uint32_t ReadUInt(const CDataNode& node, const char* name, uint32_t def) {
  const CDataNode* child = node.FindChild(name);
  return child ? ParseUInt(child->GetTextUTF8()) : def;
}

float ReadFloat(const CDataNode& node, const char* name, float def) {
  const CDataNode* child = node.FindChild(name);
  return child ? ParseFloat(child->GetTextUTF8()) : def;
}

void WriteString(CDataNode& node, const char* name, const wxString& value) {
  node.AddChild(name)->SetText(value);
}

void WriteStringUTF8(CDataNode& node, const char* name, const std::string& value) {
  node.AddChild(name)->SetTextUTF8(value);
}

void WriteBool(CDataNode& node, const char* name, bool value) {
  node.AddChild(name)->SetTextUTF8(value ? "true" : "false");
}

void WriteInt(CDataNode& node, const char* name, int32_t value) {
  node.AddChild(name)->SetTextUTF8(std::to_string(value));
}

void WriteUInt(CDataNode& node, const char* name, uint32_t value) {
  node.AddChild(name)->SetTextUTF8(std::to_string(value));
}

void WriteFloat(CDataNode& node, const char* name, float value) {
  node.AddChild(name)->SetTextUTF8(FormatFloat(value));
}

}  // namespace rsxml
