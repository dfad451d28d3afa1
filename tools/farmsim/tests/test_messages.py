import struct
import unittest
import zlib

from fsim import messages as m


def s(text):
    return text.encode('utf-8') + b'\0'


def body_of(data):
    """The uncompressed data of a compressed body (after type and serial)."""
    cl, ul = struct.unpack_from('<II', data, 8)
    plain = zlib.decompress(data[16:16 + cl])
    assert len(plain) == ul
    return plain


class Messages(unittest.TestCase):
    def test_generic_message_is_type_and_serial(self):
        self.assertEqual(m.encode(m.Message(5, 9)), struct.pack('<II', 5, 9))
        msg = m.decode(struct.pack('<II', 5, 9))
        self.assertEqual((msg.type, msg.serial, msg.name), (5, 9, 'Type5'))

    def test_raw_challenge_is_length_prefixed(self):
        data = m.encode(m.Message(m.CHALLENGE, 1, raw=True, update_info='u'))
        expected_body = (struct.pack('<II', 1, 1) + s(m.APP_IDENTIFIER) + struct.pack('<I', 45)
                         + s('u'))
        self.assertEqual(data, struct.pack('<I', len(expected_body) + 4) + expected_body)
        back = m.decode(data, raw=True)
        self.assertEqual((back['identifier'], back['version'], back['update_info']),
                         (m.APP_IDENTIFIER, 45, 'u'))

    def test_empty_compressed_body(self):
        data = m.encode(m.Message(m.DATA_QUERY, 2, text=''))
        plain = b'\0'
        packed = zlib.compress(plain, 9)
        self.assertEqual(data, struct.pack('<IIII', 24, 2, len(packed), 1) + packed)
        self.assertEqual(m.compress_body(b''),
                         struct.pack('<II', 8, 0) + bytes.fromhex('78da030000000001'))

    def test_challenge_ack_has_no_value3(self):
        data = m.encode(m.Message(m.ACK, 3, acked_type=1, acked_serial=1, result=1, text='ok',
                                  value1=4, value2=5, value3=6, data_is_message=0, data=b'info'))
        self.assertEqual(data, struct.pack('<IIIIB', 1024, 3, 1, 1, 1) + s('ok')
                         + struct.pack('<IIBI', 4, 5, 0, 4) + b'info')
        back = m.decode(data)
        self.assertEqual((back['value3'], back['data'], back['data_is_message']),
                         (None, b'info', False))

    def test_other_acks_carry_value3_and_an_attached_message(self):
        attached = m.encode(m.Message(m.DATA_QUERY, 8, text='answer'))
        data = m.encode(m.Message(m.ACK, 9, acked_type=1025, acked_serial=4, result=0, text='no',
                                  value1=1234, value2=0, value3=7, data=attached))
        self.assertEqual(data[:17 + 3], struct.pack('<IIIIB', 1024, 9, 1025, 4, 0) + s('no'))
        self.assertEqual(data[20:33], struct.pack('<IIIB', 1234, 0, 7, 1))
        back = m.decode(data)
        self.assertEqual(m.decode_attachment(back)['text'], 'answer')

    def test_ack_text_is_cut_to_256_characters(self):
        back = m.decode(m.encode(m.Message(m.ACK, 1, acked_type=14, text='x' * 300)))
        self.assertEqual(back['text'], 'x' * 256)

    def test_login_layout(self):
        data = m.encode(m.Message(m.LOGIN, 2, user='anna', password='pw'))
        self.assertEqual(data, struct.pack('<IIB', 7, 2, 1) + s('anna') + s('pw'))

    def test_server_control_layout(self):
        raw = struct.pack('<IIH', 15, 4, 5) + s('42') + struct.pack('<HI', 401, 0) + s('3|')
        msg = m.decode(raw)
        self.assertEqual(msg.fields, {'kind': 5, 'target': '42', 'code': 401, 'number': 0,
                                      'argument': '3|'})
        self.assertEqual(m.encode(msg), raw)

    def test_request_layout(self):
        raw = (struct.pack('<IIIII', 1025, 6, 1, 24, 0) + s('') + s('jobs')
               + struct.pack('<Ii', 1, -2) + struct.pack('<I', 1) + s('x'))
        msg = m.decode(raw)
        self.assertEqual((msg['mode'], msg['requested_type'], msg['text2'], msg['integers'],
                          msg['strings']), (1, 24, 'jobs', [-2], ['x']))
        self.assertEqual(m.encode(msg), raw)

    def test_user_data_layouts(self):
        data = m.encode(m.Message(m.USER_DATA0, 1, text1='a', text2='b', flag=1, rights=0x40100,
                                  priority_limit=8, job_color=0xFF00FF00))
        self.assertEqual(data, struct.pack('<II', 8, 1) + s('a') + s('b')
                         + struct.pack('<BIIII', 1, 0x40100, 8, 0, 0xFF00FF00))
        pool = {'number': 3, 'id': '12', 'name': 'Main', 'description': 'd', 'owner': 'o',
                'active': 1, 'client_count': 4, 'priority': 5, 'created': 'c', 'notes': 'n',
                'flags': 6, 'default': 1, 'reserved': 7, 'tag': 't'}
        data = m.encode(m.Message(m.USER_DATA1, 2, pools=[pool]))
        self.assertEqual(body_of(data), struct.pack('<BII', 0, 1, 3) + s('12') + s('Main') + s('d')
                         + s('o') + struct.pack('<BII', 1, 4, 5) + s('c') + s('n')
                         + struct.pack('<IBI', 6, 1, 7) + s('t'))
        self.assertEqual(m.decode(data)['pools'], [pool])

    def test_opposite_info_layout(self):
        data = m.encode(m.Message(m.OPPOSITE_INFO, 2, alias='a', computer='c', kind=1, build=1900,
                                  memory=1 << 33))
        self.assertEqual(data, struct.pack('<II', 2, 2) + s('a') + s('c') + s('')
                         + struct.pack('<HIIQ', 1, 1900, 0, 1 << 33))

    def test_render_system_data_records(self):
        data = m.encode(m.Message(m.RS_DATA, 3, stamp=42, records=[
            {'mode': 1, 'kind': 1, 'key': 'Pool', 'text': '<DataRoot></DataRoot>\n'}]))
        self.assertEqual(body_of(data), struct.pack('<iIii', 42, 1, 1, 1) + s('Pool')
                         + s('<DataRoot></DataRoot>\n'))

    def test_damaged_stream_and_lying_lengths(self):
        good = m.encode(m.Message(m.TEXT, 1, text1='hello'))
        damaged = good[:16] + bytes(b ^ 0x5A for b in good[16:])
        for data in (damaged, good[:-3]):
            with self.assertRaises(m.DecodeError):
                m.decode(data)
        wrong_ul = good[:12] + struct.pack('<I', 99) + good[16:]
        with self.assertRaises(m.DecodeError):
            m.decode(wrong_ul)
        huge = good[:12] + struct.pack('<I', 0xFFFFFFF0) + good[16:]
        with self.assertRaises(m.DecodeError):
            m.decode(huge)


if __name__ == '__main__':
    unittest.main()
