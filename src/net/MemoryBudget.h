// The memory a reader may make this program hold for what a peer or a file
// sends: a limit, a fixed cost for each entry (a list item, a record, a
// node) and a cost for each unit of its size (a byte or a wide character).
// Once a charge would go over the limit the budget stays spent, and the
// reader refuses what it was reading.
#pragma once

#include <cstddef>
#include <cstdint>

class CMemoryBudget {
 public:
  CMemoryBudget(size_t limit, size_t entryCost, size_t unitBytes)
      : m_limit(limit), m_entryCost(entryCost), m_unitBytes(unitBytes) {}

  // One entry of `units` units; false once over the limit.
  bool Charge(size_t units) {
    return units <= (SIZE_MAX - m_entryCost) / m_unitBytes &&
           ChargeBytes(m_entryCost + units * m_unitBytes);
  }
  // More units of an entry already charged.
  bool ChargeUnits(size_t units) {
    return units <= SIZE_MAX / m_unitBytes && ChargeBytes(units * m_unitBytes);
  }
  // Bytes of a kind the entry cost does not describe.
  bool ChargeBytes(size_t bytes) {
    if (m_over || bytes > m_limit - m_spent) return Exhaust();
    m_spent += bytes;
    return true;
  }
  // Whether `units` more would still fit, counting nothing.
  bool Fits(size_t units) const { return !m_over && units <= (m_limit - m_spent) / m_unitBytes; }
  // Spends the rest: what is being read will not fit.
  bool Exhaust() {
    m_over = true;
    return false;
  }
  bool IsOver() const { return m_over; }

 private:
  size_t m_limit;
  size_t m_entryCost;
  size_t m_unitBytes;
  size_t m_spent = 0;
  bool m_over = false;
};
