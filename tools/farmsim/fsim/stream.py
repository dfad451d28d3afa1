"""Little-endian value encoding of the farm protocol.

Every message body is a plain sequence of values: 32-bit integers little-endian,
booleans as one byte, strings as their UTF-8 bytes followed by one zero byte.
The reader never raises on a short buffer: a value read past the end keeps its
default and the reader remembers that it ran dry (`underrun`).
"""

import struct


class Writer:
    """Appends encoded values to a growing byte buffer."""

    def __init__(self):
        self.buf = bytearray()

    def u8(self, value):
        self.buf.append(int(value) & 0xFF)
        return self

    def u16(self, value):
        self.buf += struct.pack('<H', int(value) & 0xFFFF)
        return self

    def u32(self, value):
        self.buf += struct.pack('<I', int(value) & 0xFFFFFFFF)
        return self

    i32 = u32

    def u64(self, value):
        self.buf += struct.pack('<Q', int(value) & 0xFFFFFFFFFFFFFFFF)
        return self

    def f64(self, value):
        self.buf += struct.pack('<d', float(value))
        return self

    def string(self, value):
        if isinstance(value, str):
            value = value.encode('utf-8')
        self.buf += bytes(value)
        self.buf.append(0)
        return self

    def raw(self, data):
        self.buf += bytes(data)
        return self

    def string_list(self, values):
        self.u32(len(values))
        for value in values:
            self.string(value)
        return self

    def i32_list(self, values):
        self.u32(len(values))
        for value in values:
            self.i32(value)
        return self

    def getvalue(self):
        return bytes(self.buf)


class Reader:
    """Reads encoded values from a byte buffer with one cursor."""

    def __init__(self, data, pos=0):
        self.data = bytes(data)
        self.pos = pos
        self.underrun = False

    def remaining(self):
        return len(self.data) - self.pos

    def _take(self, n):
        if self.pos + n > len(self.data):
            self.underrun = True
            self.pos = len(self.data)
            return None
        chunk = self.data[self.pos:self.pos + n]
        self.pos += n
        return chunk

    def _unpack(self, fmt, size, default):
        chunk = self._take(size)
        return default if chunk is None else struct.unpack(fmt, chunk)[0]

    def u8(self, default=0):
        return self._unpack('<B', 1, default)

    def boolean(self, default=False):
        value = self.u8(None)
        return default if value is None else value != 0

    def u16(self, default=0):
        return self._unpack('<H', 2, default)

    def u32(self, default=0):
        return self._unpack('<I', 4, default)

    def i32(self, default=0):
        return self._unpack('<i', 4, default)

    def u64(self, default=0):
        return self._unpack('<Q', 8, default)

    def f64(self, default=0.0):
        return self._unpack('<d', 8, default)

    def string_bytes(self):
        """Bytes up to the next zero byte (or the end of the buffer, which counts as
        running dry)."""
        if self.pos >= len(self.data):
            self.underrun = True
            return b''
        end = self.data.find(b'\0', self.pos)
        if end < 0:  # a string without its zero byte: taken, but the data ran dry
            self.underrun = True
            chunk = self.data[self.pos:]
            self.pos = len(self.data)
            return chunk
        chunk = self.data[self.pos:end]
        self.pos = end + 1
        return chunk

    def string(self):
        return self.string_bytes().decode('utf-8', 'replace')

    def raw(self, n):
        chunk = self._take(n)
        return b'' if chunk is None else chunk

    def count(self, limit):
        """A list count; counts that cannot fit in the rest of the buffer end it."""
        n = self.u32()
        if n > limit or n > self.remaining():
            self.underrun = True
            self.pos = len(self.data)
            return 0
        return n

    def string_list(self):
        return [self.string() for _ in range(self.count(1 << 24))]

    def i32_list(self):
        return [self.i32() for _ in range(self.count(1 << 24))]
