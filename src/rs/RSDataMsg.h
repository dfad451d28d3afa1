// The render-system data message: the server's data stamp and a list of
// records. Asked for with parameter 0 it carries the stamp alone, so that the
// program can tell whether its cached renderer definitions are current; with
// parameter 1 it carries the records of the whole pool.
#pragma once

#include <memory>
#include <vector>

#include "net/CompressedMsgBase.h"
#include "rs/RSDataCommand.h"

class CRSDataMsg : public CCompressedMsgBase {
 public:
  static constexpr wxInt32 kType = kRSDataMsgType;
  // Memory the received records may take, counted as their texts (as held,
  // in wide characters) plus a fixed cost per record. A message beyond it is
  // refused as over the limit: the download fails instead of the client
  // growing past its memory budget.
  static constexpr size_t kMaxRecordBytes = 128u * 1024 * 1024;
  static constexpr size_t kRecordCost = 192;

  CRSDataMsg();

  // Appends a copy of `record` when it is valid; false otherwise.
  bool AddRecord(const CRSDataCommand& record);
  // Reading keeps only the valid records, in order.
  std::vector<std::unique_ptr<CRSDataCommand>>& Records() { return m_records; }

  wxInt32 stamp = -1;

 protected:
  bool WriteData(CMemoryStream& stream) const override;
  bool ReadData(CMemoryStream& stream) override;

 private:
  std::vector<std::unique_ptr<CRSDataCommand>> m_records;

  wxDECLARE_DYNAMIC_CLASS(CRSDataMsg);
};
