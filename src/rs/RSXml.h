// Reading and writing the typed children of a render-system element: texts,
// booleans ("true"/"false"; "true", "yes", "on" and "1" read as true in any
// case), integers ("%i"), unsigned integers ("%u") and single-precision
// numbers ("%f"). Numbers never depend on the C locale.
#pragma once

#include "rs/DataNode.h"

#include <wx/string.h>

#include <cstdint>
#include <string>

namespace rsxml {

bool ParseBool(const std::string& text);
// Leading decimal number (after blanks, with sign), 0 when there is none;
// wider numbers keep their low 32 bits.
int32_t ParseInt(const std::string& text);
uint32_t ParseUInt(const std::string& text);
float ParseFloat(const std::string& text);
std::string FormatFloat(float value);

// The text of the first child of that name, or `def` when there is none.
wxString ReadString(const CDataNode& node, const char* name, const wxString& def = wxString());
// *field = ReadString(node, name), without the copy of the returned string.
void ReadStringInto(const CDataNode& node, const char* name, wxString* field);
// The same as UTF-8, without a pass through wxString. A text that is not
// UTF-8 reads as it would through wxString: each broken sequence is U+FFFD.
std::string ReadStringUTF8(const CDataNode& node, const char* name,
                           const std::string& def = std::string());
// The node's own text, read as ReadStringUTF8 reads a child's.
std::string TextUTF8(const CDataNode& node);
// *text = TextUTF8(node), into the storage `text` has.
void TextUTF8Into(const CDataNode& node, std::string* text);
bool ReadBool(const CDataNode& node, const char* name, bool def);
int32_t ReadInt(const CDataNode& node, const char* name, int32_t def);
uint32_t ReadUInt(const CDataNode& node, const char* name, uint32_t def);
float ReadFloat(const CDataNode& node, const char* name, float def);

void WriteString(CDataNode& node, const char* name, const wxString& value);
void WriteStringUTF8(CDataNode& node, const char* name, const std::string& value);
void WriteBool(CDataNode& node, const char* name, bool value);
void WriteInt(CDataNode& node, const char* name, int32_t value);
void WriteUInt(CDataNode& node, const char* name, uint32_t value);
void WriteFloat(CDataNode& node, const char* name, float value);

}  // namespace rsxml
