// The acknowledgement of a message (type 1024): the acknowledged type and
// serial, a result byte (1 accepted, 0 refused), a text of at most 256
// characters, three values, and data bytes that usually hold a serialized
// message. An acknowledgement of a challenge carries no value 3.
#pragma once

#include "net/GenericMsg.h"

#include <memory>

class CMsgAckMsg : public CGenericMsg {
 public:
  static constexpr wxInt32 kType = kMsgAckMsgType;
  static constexpr size_t kMaxText = 256;

  CMsgAckMsg();

  // Written by hand: value 3 is there or not by the acknowledged type, and
  // the data is a length-prefixed block.
  bool WriteBody(CMemoryStream& stream) const override;
  bool ReadBody(CMemoryStream& stream) override;

  wxInt32 GetAckedType() const { return m_ackedType; }
  wxUint32 GetAckedSerial() const { return m_ackedSerial; }
  bool GetResult() const { return m_result; }
  const wxString& GetText() const { return m_text; }
  wxUint32 GetValue1() const { return m_values[0]; }
  wxUint32 GetValue2() const { return m_values[1]; }
  wxUint32 GetValue3() const { return m_values[2]; }
  bool IsDataMessage() const { return m_dataIsMessage; }
  const CMemoryStream& GetData() const { return *m_data; }
  // The type of the message held in the data, when it holds one (at least
  // the 4 bytes of its type and the data-is-message byte set).
  bool GetAttachedType(wxInt32* type) const;
  // Hands the data over (rewound); the message is left with none.
  std::unique_ptr<CMemoryStream> TakeData();

  void SetAcked(wxInt32 type, wxUint32 serial) {
    m_ackedType = type;
    m_ackedSerial = serial;
  }
  void SetResult(bool result) { m_result = result; }
  void SetText(const wxString& text) { m_text = text; }
  void SetValues(wxUint32 v1, wxUint32 v2, wxUint32 v3);
  // Raw data bytes; `isMessage` tells the reader whether to decode them.
  void SetData(const wxUint8* bytes, wxUint32 size, bool isMessage);
  // Serializes `message` (not taken over) into the data. False when that fails.
  bool SetAttachedMessage(CMsgBase* message);

 private:
  wxInt32 m_ackedType = -1;
  wxUint32 m_ackedSerial = 0;
  bool m_result = false;
  wxString m_text;
  wxUint32 m_values[3] = {0, 0, 0};
  bool m_dataIsMessage = true;
  std::unique_ptr<CMemoryStream> m_data;

  wxDECLARE_DYNAMIC_CLASS(CMsgAckMsg);
};
