// Base of the eight components of a renderer or version (parameters, command
// line, executables, return codes, output filters, script, template,
// environment) and of the items of the list components. A component knows the
// renderer or version that holds it, whether it is required there, and
// whether a version inherits it from its renderer (or disables it). It can be
// stored on its own as a file in the holder's directory.
#pragma once

#include "rs/RSObject.h"

class CRSCoreRenderer;

class CRSComponent : public virtual CRSObject {
 public:
  explicit CRSComponent(bool required = false) : Required(required) {}
  ~CRSComponent() override = default;

  // Writes the component as its file inside `dir` (root element GetName()).
  virtual bool SaveToFile(const wxString& dir);
  // Resets the component and reads it from its file inside `dir`.
  virtual bool LoadFromFile(const wxString& dir);
  // Copies every field, including Inherited and Disabled.
  virtual void CopyFrom(const CRSComponent& other);
  // The element name of the component.
  virtual wxString GetName() const;
  // Called at the end of Attach.
  virtual bool OnAttached();
  // The file name inside the holder's directory; empty for list items.
  virtual wxString GetFileName() const;

  // Removes the component's file from the holder's directory when it exists.
  void Delete() override;

  // Hands down the owner's pool and makes it the owner; false without one.
  bool Attach(CRSCoreRenderer* owner);

  // True when the owner is a version (it has a renderer above it).
  bool BelongsToVersion() const;
  // The renderer above a version that owns this component, or null.
  CRSCoreRenderer* GetUpperOwner() const;

  // "Inherited" and, only when inherited, "Disabled".
  void SaveCommon(CDataNode& node) const;
  void LoadCommon(const CDataNode& node);

  CRSCoreRenderer* Owner = nullptr;
  bool Required;
  bool Inherited = false;
  bool Disabled = false;
};
