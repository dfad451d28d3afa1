// The base of a message whose body is a fixed run of fields: the class gives
// one description of them,
//
//   template <class Io, class Self> static bool Fields(Io& io, Self& m) {
//     return io(m.login) && io(m.userName) && io(m.password);
//   }
//
// and this base writes the body from it with a CWireWriter and reads it back
// with a CWireReader. Over the compressed message base the fields are the
// uncompressed data.
#pragma once

#include <type_traits>

#include "net/CompressedMsgBase.h"
#include "net/GenericMsg.h"
#include "net/WireReader.h"
#include "net/WireWriter.h"

template <class Derived, class Base = CGenericMsg,
          bool = std::is_base_of<CCompressedMsgBase, Base>::value>
class CFieldMsg;

template <class Derived, class Base>
class CFieldMsgCore : public Base {
 protected:
  bool WriteFields(CMemoryStream& stream) const {
    CWireWriter writer(stream);
    return Derived::Fields(writer, static_cast<const Derived&>(*this));
  }
  bool ReadFields(CMemoryStream& stream) {
    CWireReader reader(stream);
    Derived::Fields(reader, static_cast<Derived&>(*this));
    if (reader.IsOverLimit()) this->SetOverLimit();
    return !reader.IsOverLimit();
  }
};

template <class Derived, class Base>
class CFieldMsg<Derived, Base, false> : public CFieldMsgCore<Derived, Base> {
 public:
  bool WriteBody(CMemoryStream& stream) const override { return this->WriteFields(stream); }
  bool ReadBody(CMemoryStream& stream) override { return this->ReadFields(stream); }
};

template <class Derived, class Base>
class CFieldMsg<Derived, Base, true> : public CFieldMsgCore<Derived, Base> {
 public:
  bool WriteData(CMemoryStream& stream) const override { return this->WriteFields(stream); }
  bool ReadData(CMemoryStream& stream) override { return this->ReadFields(stream); }
};
