#include "net/MemoryStream.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::string Content(const CMemoryStream& s) {
  return std::string(reinterpret_cast<const char*>(s.Data()), s.Size());
}

TEST(MemoryStreamTest, EncodesValuesLittleEndianAndStringsWithOneZeroByte) {
  CMemoryStream s(CMemoryStream::kWrite);
  ASSERT_TRUE(s.WriteUInt32(0x01020304));
  ASSERT_TRUE(s.WriteInt32(-2));
  ASSERT_TRUE(s.WriteUInt16(0xBEEF));
  ASSERT_TRUE(s.WriteUInt64(0x1122334455667788ull));
  ASSERT_TRUE(s.WriteBool(true));
  ASSERT_TRUE(s.WriteString(wxString::FromUTF8("Gr\xC3\xBC\xC3\x9F")));
  ASSERT_TRUE(s.WriteString(wxString()));
  EXPECT_EQ(Content(s), std::string("\x04\x03\x02\x01"
                                    "\xFE\xFF\xFF\xFF"
                                    "\xEF\xBE"
                                    "\x88\x77\x66\x55\x44\x33\x22\x11"
                                    "\x01"
                                    "Gr\xC3\xBC\xC3\x9F\0"
                                    "\0",
                                    4 + 4 + 2 + 8 + 1 + 7 + 1));

  s.SetMode(CMemoryStream::kRead);
  s.Rewind();
  wxUint32 u = 0;
  wxInt32 i = 0;
  wxUint16 h = 0;
  wxUint64 q = 0;
  bool b = false;
  wxString text;
  wxString empty = wxT("unchanged");
  EXPECT_TRUE(s.ReadUInt32(u) && s.ReadInt32(i) && s.ReadUInt16(h) && s.ReadUInt64(q) &&
              s.ReadBool(b) && s.ReadString(text) && s.ReadString(empty));
  EXPECT_EQ(u, 0x01020304u);
  EXPECT_EQ(i, -2);
  EXPECT_EQ(h, 0xBEEF);
  EXPECT_EQ(q, 0x1122334455667788ull);
  EXPECT_TRUE(b);
  EXPECT_EQ(text, wxString::FromUTF8("Gr\xC3\xBC\xC3\x9F"));
  EXPECT_TRUE(empty.empty());
  EXPECT_EQ(s.RemainingCount(), 0u);
}

TEST(MemoryStreamTest, ReadsPastTheEndFailWithoutMovingOrChangingAnything) {
  CMemoryStream s(CMemoryStream::kReadWrite);
  s.Write("\x07\x00\x00", 3);
  s.Rewind();
  wxUint32 value = 99;
  EXPECT_FALSE(s.ReadUInt32(value));
  EXPECT_EQ(value, 99u);
  EXPECT_EQ(s.Tell(), 0u);
  char two[2];
  EXPECT_TRUE(s.Read(two, 2));
  s.Skip(100);  // never beyond the content
  EXPECT_EQ(s.Tell(), 3u);
  wxString text = wxT("kept");
  EXPECT_FALSE(s.ReadString(text));
  EXPECT_EQ(text, wxT("kept"));
}

TEST(MemoryStreamTest, StringsEndAtTheFirstZeroOrTheEndAndAnyNonZeroByteIsTrue) {
  CMemoryStream s(CMemoryStream::kReadWrite);
  s.Write("ab\0cd\x02xyz", 9);  // the last string without its terminator
  s.Rewind();
  wxString first, last;
  bool flag = false;
  EXPECT_TRUE(s.ReadString(first));
  EXPECT_EQ(first, wxT("ab"));
  s.Skip(2);
  EXPECT_TRUE(s.ReadBool(flag));
  EXPECT_TRUE(flag);
  EXPECT_TRUE(s.ReadString(last));
  EXPECT_EQ(last, wxT("xyz"));
}

TEST(MemoryStreamTest, GrowsGeometricallyInMultiplesOf4096) {
  CMemoryStream s(CMemoryStream::kWrite);
  EXPECT_EQ(s.Capacity(), 4096u);
  std::string block(1000, 'x');
  std::set<wxUint32> capacities;
  for (int n = 0; n < 8192; ++n) {  // about 8 MB in small writes
    ASSERT_TRUE(s.Write(block.data(), 1000));
    capacities.insert(s.Capacity());
    ASSERT_EQ(s.Capacity() % 4096, 0u);
    ASSERT_GE(s.Capacity(), s.Size());
  }
  // A growth of 4096 bytes at a time would have taken about 2000 steps.
  EXPECT_LE(capacities.size(), 14u);
  EXPECT_EQ(s.Size(), 8192000u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.Data()) + 4095000, 1000), block);
}

}  // namespace
