#include "platform/Machine.h"

#include <unistd.h>

#include <climits>

wxString MachineHostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0) return wxString();
  return wxString::FromUTF8(name);
}

wxUint64 MachinePhysicalMemory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  return wxUint64(pages) * wxUint64(pageSize);
}
