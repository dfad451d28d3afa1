// Fills a pool with generated groups, renderers and versions in which every
// component is populated (inherited and disabled items included) and whose
// texts hold what the XML form must carry exactly: markup characters,
// backslashes, line breaks, tabs, blanks and non-ASCII letters. The data is
// consistent, so saving, reloading and saving again gives the same tree.
// Used by tests and benchmarks; deterministic for a given seed.
#pragma once

#include <cstdint>

class CDataNode;
class CRSPool;

struct RSSampleSize {
  int renderers = 4;
  int versionsPerRenderer = 3;
  int parametersPerObject = 8;
  int renderersPerGroup = 10;
};

// Adds the generated objects to an initialised pool.
void FillSamplePool(CRSPool& pool, const RSSampleSize& size, uint32_t seed);

// The pool as one exchange document: root "DataRoot", "ContentType"
// "Pool/1.0", "Content" holding one "RendererGroup" per group (mode 1).
void SavePoolDocument(CRSPool& pool, CDataNode& root);
// Loads such a document's groups (mode 1) into the pool.
bool LoadPoolDocument(CRSPool& pool, const CDataNode& root);
