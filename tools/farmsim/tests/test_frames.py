import struct
import unittest

from fsim.frames import (ProtocolError, Reassembler, UnitSplitter, make_frame, parse_header,
                         split_message)


def collect(chunks, raw=False):
    """Feeds chunks through a splitter and a reassembler; returns the whole messages."""
    splitter, reassembler, out = UnitSplitter(), Reassembler(), []
    splitter.raw = raw
    for chunk in chunks:
        splitter.feed(chunk)
        while True:
            unit = splitter.next_unit()
            if unit is None:
                break
            if raw:
                out.append(unit)
            else:
                msg = reassembler.add(unit)
                if msg is not None:
                    out.append(msg)
    return out


class Frames(unittest.TestCase):
    def test_frame_sizes_at_the_piece_limit(self):
        one = split_message(5, bytes(16368))
        self.assertEqual([len(f) for f in one], [16384])
        self.assertEqual(parse_header(one[0]), (16384, 5, 0, 1))
        two = split_message(6, bytes(16369))
        self.assertEqual([len(f) for f in two], [16384, 17])
        self.assertEqual([parse_header(f) for f in two], [(16384, 6, 0, 2), (17, 6, 1, 2)])
        self.assertEqual(split_message(7, b''), [])

    def test_header_layout(self):
        self.assertEqual(make_frame(0x01020304, 2, 3, b'xy'),
                         b'\x12\x00\x00\x00\x04\x03\x02\x01\x02\x00\x00\x00\x03\x00\x00\x00xy')

    def test_split_at_every_byte_boundary(self):
        message = bytes(range(256)) * 3
        stream = (b''.join(split_message(9, message, 300))
                  + b''.join(split_message(10, b'tail', 300)))
        for cut in range(len(stream) + 1):
            self.assertEqual(collect([stream[:cut], stream[cut:]]), [message, b'tail'], cut)

    def test_interleaved_serials(self):
        a = split_message(1, b'A' * 30, 10)
        b = split_message(2, b'B' * 20, 10)
        self.assertEqual(collect([a[0], b[0], a[1], b[1], a[2]]), [b'B' * 20, b'A' * 30])

    def test_wrong_part_index_is_dropped_and_the_queue_keeps_waiting(self):
        drops = []
        r = Reassembler(on_drop=drops.append)
        frames = split_message(3, b'x' * 25, 10)
        self.assertIsNone(r.add(frames[0]))
        bad = make_frame(3, 2, 3, frames[1][16:])
        self.assertIsNone(r.add(bad))
        self.assertEqual(len(drops), 1)
        self.assertIsNone(r.add(frames[1]))
        self.assertEqual(r.add(frames[2]), b'x' * 25)

    def test_impossible_frame_lengths(self):
        for length in (0, 4, 15, 16385, 0xFFFFFFFF):
            s = UnitSplitter()
            s.raw = False
            s.feed(struct.pack('<I', length) + bytes(20))
            with self.assertRaises(ProtocolError, msg=length):
                s.next_unit()

    def test_raw_units_carry_their_own_length(self):
        unit = struct.pack('<III', 16, 1, 1) + b'ab\0\0'
        self.assertEqual(collect([unit[:3], unit[3:] + unit], raw=True), [unit, unit])
        s = UnitSplitter()
        s.feed(struct.pack('<I', 8) + bytes(4))
        with self.assertRaises(ProtocolError):
            s.next_unit()


if __name__ == '__main__':
    unittest.main()
