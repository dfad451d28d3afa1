// The outcome of one acknowledged or timed-out message: result code 1 success,
// 0 refused, -1 time-out (text "message timeout"), three 32-bit values (value
// 1 carries a new net job's ID), the acknowledgement's data bytes and the
// message decoded from them, if any.
//
// A result is copied along its way from the engine to the waiting caller.
// The data bytes and the attached message are decoded once and then shared,
// read-only, by every copy: copying a result never serialises its message
// again, however large the answer it carries.
#pragma once

#include "net/MemoryStream.h"
#include "net/MsgBase.h"

#include <wx/object.h>
#include <wx/string.h>

#include <memory>

class CNetMsgAckResult : public wxObject {
 public:
  static const wxChar* const kTimeoutText;  // "message timeout"

  CNetMsgAckResult();
  // A time-out result for a message of `type` and `serial`.
  CNetMsgAckResult(wxInt32 type, wxUint32 serial);
  // Copies every field; the data and the attached message are shared.
  CNetMsgAckResult(const CNetMsgAckResult& other);
  CNetMsgAckResult& operator=(const CNetMsgAckResult& other);
  ~CNetMsgAckResult() override;

  wxInt32 GetType() const { return m_type; }
  wxUint32 GetSerial() const { return m_serial; }
  wxInt32 GetResult() const { return m_result; }
  bool IsSuccess() const { return m_result == 1; }
  const wxString& GetText() const { return m_text; }
  wxUint32 GetValue1() const { return m_values[0]; }
  wxUint32 GetValue2() const { return m_values[1]; }
  wxUint32 GetValue3() const { return m_values[2]; }
  const CMemoryStream& GetData() const { return *m_data; }
  // The message decoded from the data, or null; read-only, since other
  // copies of this result may share it.
  const CMsgBase* GetAttached() const;
  // Hands the attached message over to the caller and drops it from this
  // result: the message itself when no other copy shares it, else a copy of
  // it read back from its serialised form. Null when there is none (or the
  // copy fails).
  std::unique_ptr<CMsgBase> TakeAttached();

  void SetType(wxInt32 type) { m_type = type; }
  void SetSerial(wxUint32 serial) { m_serial = serial; }
  void SetResult(wxInt32 result) { m_result = result; }
  void SetText(const wxString& text) { m_text = text; }
  void SetValues(wxUint32 v1, wxUint32 v2, wxUint32 v3);
  void SetData(const wxUint8* bytes, wxUint32 size);
  void SetData(std::unique_ptr<CMemoryStream> data);
  void SetAttached(std::unique_ptr<CMsgBase> message);

 private:
  wxInt32 m_type = -1;
  wxUint32 m_serial = 0;
  wxInt32 m_result = -1;
  wxString m_text;
  wxUint32 m_values[3] = {0, 0, 0};
  // Shared by the copies of a result and never changed once set: a new
  // value replaces the object instead.
  std::shared_ptr<const CMemoryStream> m_data;
  // Held through a box of its own so that the only holder can hand the
  // message itself over (TakeAttached); every other access is read-only.
  struct Attached {
    std::unique_ptr<CMsgBase> message;
  };
  std::shared_ptr<Attached> m_attached;
};
