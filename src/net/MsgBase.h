// The base of every protocol message: a 32-bit type number (see MsgType.h),
// a 32-bit serial given by the sending engine, and a body that each class
// writes and reads, from one description of its fields where it has a fixed
// run of them (CFieldMsg). The envelope is type, serial, body; a raw-flagged
// message is written with its own total length in front and travels unframed.
//
// Message classes are created from their type number through wx run-time
// class information: every class declares itself with wxDECLARE_DYNAMIC_CLASS.
//
// Body readers follow one rule: a read past the end of the stream is not an
// error (the field keeps its value); only a fault such as a length beyond the
// limits or a failed allocation makes ReadBody return false.
#pragma once

#include "net/MemoryStream.h"
#include "net/MsgType.h"

#include <wx/object.h>
#include <wx/string.h>

#include <memory>

class CMsgBase : public wxObject {
 public:
  // The largest body a peer may make this program unpack (256 MiB).
  static constexpr wxUint32 kMaxUnpackedSize = 256u * 1024 * 1024;
  // The longest single text (answer, message, name) taken from a peer: each
  // byte becomes a wide character, and the text is printed and logged.
  static constexpr wxUint32 kMaxTextBytes = 16u * 1024 * 1024;

  CMsgBase() = default;
  ~CMsgBase() override = default;

  wxInt32 GetType() const { return m_type; }
  void SetType(wxInt32 type) { m_type = type; }
  wxUint32 GetSerial() const { return m_serial; }
  void SetSerial(wxUint32 serial) { m_serial = serial; }
  bool IsRaw() const { return m_raw; }
  void SetRaw(bool raw) { m_raw = raw; }

  // Rewinds `stream`, then reads the message from it when the stream is for
  // reading, else writes it. False when writing or reading fails.
  bool Serialize(CMemoryStream& stream);
  // The two directions of Serialize on their own.
  bool WriteTo(CMemoryStream& stream) const;
  bool ReadFrom(CMemoryStream& stream);

  virtual bool WriteBody(CMemoryStream& stream) const;
  virtual bool ReadBody(CMemoryStream& stream);

  // True when the last read failed because the peer announced more than the
  // limits allow: that is a transfer error, not merely an invalid message.
  bool IsOverLimit() const { return m_overLimit; }

  // A new message of the same class with the same content (written into a
  // stream and read back); null when that fails.
  std::unique_ptr<CMsgBase> Clone() const;

  // "evNetMsg::%i": the event under which a received message is announced.
  static wxString EventName(wxInt32 type);

 protected:
  void SetOverLimit() { m_overLimit = true; }

 private:
  wxInt32 m_type = -1;
  wxUint32 m_serial = 0;
  bool m_raw = false;
  bool m_overLimit = false;

  wxDECLARE_DYNAMIC_CLASS(CMsgBase);
};
