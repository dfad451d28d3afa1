// An inclusive range of integers written as text ("7", "3-10", "-5--2"), as
// used by frame-number patterns of scene files and by chunk control lists.
#pragma once

#include <wx/string.h>

// A pair of values of one kind with a text form; the concrete range decides
// how the text is read and written.
template <typename T>
class ValueRange {
 public:
  ValueRange() = default;
  ValueRange(T from, T to) : m_from(from), m_to(to) {}
  virtual ~ValueRange() = default;

  virtual wxString ToString() const = 0;
  // Reads the range from `text`; false when the text holds no valid range.
  virtual bool FromString(const wxString& text) = 0;
  virtual void Reset() = 0;

  T GetFrom() const { return m_from; }
  T GetTo() const { return m_to; }
  void Set(T from, T to) {
    m_from = from;
    m_to = to;
  }

 protected:
  // Swaps the ends when the range is given backwards.
  void Order() {
    if (m_from > m_to) {
      T t = m_from;
      m_from = m_to;
      m_to = t;
    }
  }

  T m_from{};
  T m_to{};
};

class IntRange : public ValueRange<int> {
 public:
  IntRange() = default;
  IntRange(int from, int to) : ValueRange<int>(from, to) {}

  // "%i" when both ends are equal, else "from-to"; orders the ends first.
  wxString ToString() const override;
  // Splits at the first "-" that follows at least one character, so that a
  // leading "-" belongs to the first number; a missing second part repeats
  // the first. Text that does not read as numbers leaves 0 in its place and
  // gives false.
  bool FromString(const wxString& text) override;
  void Reset() override { Set(0, 0); }
};
