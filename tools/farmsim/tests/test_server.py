import struct
import unittest

from fsim import messages as m
from fsim.datatree import render_set_to_text
from fsim.frames import split_message

from .support import ServerCase


def packet(**fields):
    f = {'name': 'Test job', 'renderer': '3D/Blender', 'priority': 5, 'pools': ['12'],
         'render_settings': render_set_to_text('Blender/4.1', {'frames': ['1-10']})}
    f.update(fields)
    return f


class Server(ServerCase, unittest.TestCase):
    def test_challenge_opposite_info_and_login(self):
        c = self.client()
        ack = c.challenge()
        self.assertEqual((ack['result'], ack['value3'], ack['data_is_message']), (1, None, False))
        info = c.receive()
        self.assertEqual((info.type, info['alias'], info['build']),
                         (m.OPPOSITE_INFO, 'Demo render server', 1900))
        c.opposite_info(alias='me')
        self.server.farm.motd = 'Hello'
        self.assertEqual(c.login('ben', 'ben456')['result'], 1)
        self.assertEqual(c.receive().fields, {'text1': 'Hello', 'text2': ''})
        kinds = [e['msg'] for e in self.server.journal.entries]
        self.assertEqual(kinds, ['Challenge', 'OppositeInfo', 'Login'])
        self.assertEqual(self.server.journal.entries[1]['alias'], 'me')

    def test_refusals(self):
        c = self.client()
        self.assertEqual(c.challenge(identifier='Other.App')['text'], 'invalid challenge ID')
        ack = c.challenge()   # the connection may challenge again
        self.assertEqual(ack['result'], 1)
        self.assertEqual(c.login('anna', 'wrong')['text'], 'Wrong password')
        self.assertEqual(c.login('nobody', 'x')['text'], 'Unknown user nobody')
        ack, _ = c.request(m.RS_DATA)
        self.assertEqual((ack['result'], ack['text']), (0, 'Not logged in'))
        # Another protocol version is refused naming both; peers older than 30 get a raw answer.
        self.assertEqual(self.client().challenge(version=44)['text'],
                         'the protocol version differs; got 44, expected 45 '
                         '- incompatible Kilnforge V2 versions)')
        self.assertEqual(self.client().challenge(version=29)['result'], 0)

    def test_messages_before_the_challenge_are_ignored(self):
        c = self.client()
        frame_msg = m.encode(m.Message(m.LOGIN, 1, user='anna', password='anna123'))
        raw_login = struct.pack('<I', len(frame_msg) + 4) + frame_msg
        c.send_bytes(raw_login)
        self.assertEqual(c.challenge()['result'], 1)
        self.assertEqual(c.receive().type, m.OPPOSITE_INFO)
        self.assertEqual([e['msg'] for e in self.server.journal.entries], ['Login', 'Challenge'])

    def test_unsupported_request_gets_an_empty_message(self):
        ack, reply = self.logged_on().request(11)
        self.assertEqual((ack['result'], reply.type, reply.trailing), (0, 11, 0))

    def test_truncated_packet_is_refused(self):
        c = self.logged_on()
        body = m.encode(m.Message(m.NET_JOB_PACKET, 99, **packet()))
        plain = m.decompress_body(body[8:])[0][:-30]
        serial = c.next_serial()
        data = struct.pack('<II', 14, serial) + m.compress_body(plain)
        c.send_bytes(b''.join(split_message(serial, data)))
        ack = c.wait_ack(14, serial)
        self.assertEqual(ack['text'], 'Malformed net job packet (cut short)')

    def test_bad_input_drops_only_that_connection(self):
        # Raw units before the challenge, frames after it.
        for challenged, data in [
                (False, b'\x03\x00\x00\x00'),                          # raw unit too short
                (False, struct.pack('<I', 5 << 20) + b'x' * 16),       # raw unit too long
                (True, struct.pack('<IIII', 20000, 1, 0, 1)),          # frame too long
                (True, struct.pack('<IIII', 16, 1, 0, 0)),             # part count 0
                # body cut
                (True, struct.pack('<IIII', 34, 1, 0, 1) + struct.pack('<IIII', 3, 1, 100, 10)
                 + b'xx')]:
            bad = self.client()
            if challenged:
                bad.challenge()
            bad.send_bytes(data)
            self.assertTrue(bad.closed_by_peer(), data)
        self.assertEqual(self.logged_on().query('whoami')[1]['text'], 'anna')


if __name__ == '__main__':
    unittest.main()
