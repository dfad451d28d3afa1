"""Frames of the farm protocol and their reassembly.

The byte stream of a connection is a sequence of length-prefixed units. A frame
is a unit with a 16-byte header (frame length, message serial, part index, part
count, all unsigned 32-bit little-endian) followed by the next piece of one
serialized message; a message is cut into pieces of at most 16368 bytes so that
no frame exceeds 16384 bytes. The challenge is the one unit that travels
without a frame header: it is the serialized message itself, prefixed by its own
total length.
"""

import struct

HEADER_SIZE = 16
MAX_FRAME = 16384
MAX_PIECE = MAX_FRAME - HEADER_SIZE
MAX_RAW_UNIT = 1 << 20
MAX_MESSAGE = 64 << 20
MAX_QUEUES = 64


class ProtocolError(Exception):
    """The peer sent bytes that cannot belong to a valid stream."""


def make_frame(serial, index, count, payload):
    return struct.pack('<IIII', len(payload) + HEADER_SIZE, serial, index, count) + bytes(payload)


def split_message(serial, data, piece=MAX_PIECE):
    """Cuts one serialized message into its frames (none for an empty message)."""
    piece = max(1, min(int(piece), MAX_PIECE))
    if not data:
        return []
    count = (len(data) + piece - 1) // piece
    return [make_frame(serial, i, count, data[i * piece:(i + 1) * piece]) for i in range(count)]


def parse_header(frame):
    length, serial, index, count = struct.unpack_from('<IIII', frame, 0)
    return length, serial, index, count


class UnitSplitter:
    """Cuts a received byte stream into length-prefixed units.

    `raw` selects how the next unit is checked: a raw unit (the challenge) may be
    up to 1 MiB and must hold at least its length, type and serial; a frame must
    hold its 16-byte header and at most 16384 bytes.
    """

    def __init__(self):
        self.buf = bytearray()
        self.raw = True

    def feed(self, data):
        self.buf += data

    def next_unit(self):
        """The next complete unit, or None when more bytes are needed."""
        if len(self.buf) < 4:
            return None
        (length,) = struct.unpack_from('<I', self.buf, 0)
        if self.raw:
            if length < 12 or length > MAX_RAW_UNIT:
                raise ProtocolError('length-prefixed message announces %d bytes' % length)
        elif length < HEADER_SIZE or length > MAX_FRAME:
            raise ProtocolError('frame announces %d bytes' % length)
        if len(self.buf) < length:
            return None
        unit = bytes(self.buf[:length])
        del self.buf[:length]
        return unit


class Reassembler:
    """Collects the frames of each message serial until the message is whole."""

    def __init__(self, on_drop=None):
        self.queues = {}
        self.on_drop = on_drop or (lambda text: None)

    def add(self, frame):
        """Takes one frame; returns the whole message bytes when it completes one."""
        if len(frame) < HEADER_SIZE:
            self.on_drop('frame shorter than its header')
            return None
        _, serial, index, count = parse_header(frame)
        payload = frame[HEADER_SIZE:]
        queue = self.queues.get(serial)
        if queue is None:
            if len(self.queues) >= MAX_QUEUES:
                raise ProtocolError('too many incomplete messages')
            if count < 1:
                raise ProtocolError('frame with part count 0')
            queue = {'count': count, 'next': 0, 'data': bytearray()}
            self.queues[serial] = queue
        elif index != queue['next']:
            self.on_drop('serial %d: part %d dropped, expected part %d'
                         % (serial, index, queue['next']))
            return None
        queue['data'] += payload
        queue['next'] += 1
        if len(queue['data']) > MAX_MESSAGE:
            raise ProtocolError('message of serial %d exceeds %d bytes' % (serial, MAX_MESSAGE))
        if queue['next'] >= queue['count']:
            del self.queues[serial]
            return bytes(queue['data'])
        return None
