// Writes pool objects into an exchange document: the whole pool as a
// Pool/1.0 document (one "RendererGroup" per group in full form) for the
// renderer cache.
#pragma once

#include "rs/RSDataExchange.h"

class CRSDataExport : public CRSDataExchange {
 public:
  // Prepares a Pool/1.0 document and writes the bound pool's groups into
  // "Content", with their identifiers only (mode 3) when `identitiesOnly`,
  // in full (mode 1) otherwise; a full export also raises
  // "CRSDataExport::evDataExported".
  bool ExportPool(bool identitiesOnly = false);
};
