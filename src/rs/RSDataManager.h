// Fills the pool of renderer definitions from render-system data records: it
// queues the records of the data messages it is given or hears of (event
// "evNetMsg::22" from its connection), executes them in order against the
// pool and reports each executed record to OnCommand.
#pragma once

#include <wx/object.h>
#include <wx/string.h>

#include <memory>
#include <vector>

#include "rs/RSDataCommand.h"
#include "settings/EventObject.h"

class CRSDataMsg;
class CRSPool;
class UEvent;

class CRSDataManager : public wxObject, public CEventObject {
 public:
  CRSDataManager() = default;
  ~CRSDataManager() override = default;
  CRSDataManager(const CRSDataManager&) = delete;
  CRSDataManager& operator=(const CRSDataManager&) = delete;

  // Takes the pool to fill and subscribes to the import event and to data
  // messages. False without a pool.
  bool Init(CRSPool* pool);

  // Queues the valid records of `msg` in order (taking them from it) and,
  // with `processNow`, processes the queue. False when a processed record
  // failed (GetError() tells why).
  bool ApplyMessage(CRSDataMsg& msg, bool processNow);
  // Executes every queued record in order, then empties the queue. A record
  // that fails does not stop the ones after it; false when any failed
  // (GetError() tells the first failure).
  bool ProcessQueue();

  // The record class of this manager.
  virtual std::unique_ptr<CRSDataCommand> CreateCommand() {
    return std::make_unique<CRSDataCommand>();
  }
  // Whether a data message from `sender` may be applied.
  virtual bool IsSource(const void* sender) { return sender != nullptr; }
  // Called after a record was executed.
  virtual void OnCommand(CRSDataCommand& record) { (void)record; }
  // Processes the queue unless busy.
  virtual void ProcessPending();

  CRSPool* GetPool() const { return m_pool; }
  size_t GetQueueCount() const { return m_queue.size(); }
  bool IsBusy() const { return m_busy; }
  bool IsImporting() const { return m_importing; }
  const wxString& GetError() const { return m_error; }

 protected:
  uint32_t OnDataMessage(UEvent& event);
  uint32_t OnDataImported(UEvent& event);

  CRSPool* m_pool = nullptr;
  std::vector<std::unique_ptr<CRSDataCommand>> m_queue;
  bool m_busy = false;
  bool m_importing = false;
  wxString m_error;
};
