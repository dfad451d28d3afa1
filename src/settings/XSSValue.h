// One typed value of a settings script: a key with its text as written in a
// file and its integer, real, boolean and string forms. The typed getters
// switch the value to the asked type and convert it again from its text.
#pragma once

#include <wx/string.h>

class UXSSValue {
 public:
  // Type codes, also used by the variable pool.
  enum Type { kNone = 0, kInteger = 1, kReal = 2, kBoolean = 3, kString = 4 };
  // The two file layouts.
  enum Mode { kBlock = 0, kIni = 1 };

  UXSSValue() = default;
  explicit UXSSValue(const wxString& name) : m_name(name) {}

  const wxString& GetName() const { return m_name; }
  void SetName(const wxString& name) { m_name = name; }
  // The value as a block-layout file writes it: strings keep their quotes.
  const wxString& GetText() const { return m_text; }
  int GetType() const { return m_type; }

  // Fills name, text and type from a value line "name = text" of a file in
  // the given layout, and converts. Texts "$:NAME" take the content of the
  // environment variable NAME when it is set.
  void SetFromLine(const wxString& line, int mode);

  void SetString(const wxString& s);
  void SetInt(int n);
  void SetDouble(double x);
  void SetBool(bool b);

  // Each getter makes the asked type the value's type, converting from the
  // text when the type changes.
  int GetInt();
  double GetDouble();
  bool GetBool();
  wxString GetString();

  // name + " = " + the text (useText) or the string form.
  wxString FormatLine(bool useText) const;

  // The type a value text has in a file of the given layout.
  static int DetectType(const wxString& text, int mode);

  // Leading decimal number of a text, as the C library's atoi/atof would read
  // it (0 when there is none); integers saturate at the 32-bit range.
  static int ParseInt(const wxString& text);
  static double ParseDouble(const wxString& text);
  // "%f" without regard to the C locale.
  static wxString FormatDouble(double x);

 private:
  void Convert();
  void ChangeType(int type);

  wxString m_name;
  wxString m_text;
  wxString m_string;
  int m_integer = 0;
  double m_real = 0.0;
  bool m_boolean = false;
  int m_type = kNone;
};
