import socket
import struct
import unittest

from fsim import messages as m
from fsim.client import ClientError
from fsim.faults import Faults
from fsim.frames import parse_header

from .support import ServerCase
from .test_server import packet


class Refusals(ServerCase, unittest.TestCase):
    faults = {'refuse_login': 'Account locked', 'refuse_job': 'Farm is full',
              'refuse_control': {'text': 'Not now', 'codes': [205]}}

    def test_login_job_and_control_refusals_carry_their_texts(self):
        c = self.client()
        c.challenge()
        self.assertEqual(c.login('anna', 'anna123')['text'], 'Account locked')
        self.server.set_faults({'refuse_job': 'Farm is full',
                                'refuse_control': {'text': 'Not now', 'codes': [205]}})
        c.login('anna', 'anna123')
        self.assertEqual(c.submit(**packet())['text'], 'Farm is full')
        self.assertEqual(c.control(3, '42', 205)['text'], 'Not now')
        self.assertEqual(c.control(3, '42', 206)['result'], 0)   # refused by the farm: not paused
        self.assertEqual(c.control(3, '43', 206)['result'], 1)


class ChallengeFaults(ServerCase, unittest.TestCase):
    def test_refused_challenge_and_critical_update(self):
        self.server.set_faults({'refuse_challenge': 'Server in maintenance'})
        ack = self.client().challenge()
        self.assertEqual((ack['result'], ack['text']), (0, 'Server in maintenance'))
        self.server.set_faults({'critical_update': True})
        ack = self.client().challenge()
        self.assertEqual((ack['result'], ack['data']), (1, b'KfRcCmd|2.1.0|yes?7507'))
        self.server.set_faults({'critical_update': 'Core|3|YES?9000'})
        self.assertEqual(self.client().challenge()['data'], b'Core|3|YES?9000')


class Silence(ServerCase, unittest.TestCase):
    faults = {'silent': [m.LOGIN, 'request:22'], 'delay': {'request:24': 0.2}}

    def test_silent_types_get_no_answer_and_delayed_ones_come_later(self):
        c = self.client(timeout=0.5)
        c.challenge()
        self.assertEqual(c.receive().type, m.OPPOSITE_INFO)
        c.send(m.Message(m.LOGIN, user='anna', password='anna123'))
        with self.assertRaises(socket.timeout):
            c.receive()
        self.server.set_faults({'silent': 'request:22', 'delay': {'request:24': 0.2}})
        self.assertEqual(c.login('anna', 'anna123')['result'], 1)
        c.sock.settimeout(5)
        ack, answer = c.query('whoami')
        self.assertEqual(answer['text'], 'anna')
        c.sock.settimeout(0.5)
        with self.assertRaises(socket.timeout):
            c.request(m.RS_DATA)
        self.assertEqual(self.server.journal.entries[-1]['requested_type'], 22)


class Closing(ServerCase, unittest.TestCase):
    def test_close_after_n_messages(self):
        self.server.set_faults({'close_after': 3})
        c = self.client()
        c.challenge()
        c.opposite_info()
        c.send(m.Message(m.LOGIN, user='anna', password='anna123'))
        self.assertTrue(c.closed_by_peer())
        self.assertEqual(len(self.server.journal.entries), 3)

    def test_close_on_a_message_leaves_it_unanswered(self):
        c = self.logged_on()
        self.server.set_faults({'close_on': 'request:22:1'})
        self.assertEqual(c.request(m.RS_DATA, 0)[1]['records'], [])   # the stamp: answered
        c.send(m.Message(m.REQUEST, mode=1, requested_type=22, parameter=1))
        self.assertTrue(c.closed_by_peer())
        self.assertEqual(self.server.journal.entries[-1]['parameter'], 1)

    def test_close_after_the_first_frame_of_a_long_client_message(self):
        c = self.logged_on()
        self.server.set_faults({'close_mid_receive': 14})
        c.send(m.Message(m.TEXT, text1='x' * 100, text2=''), piece=40)   # not the trigger
        c.send(m.Message(m.NET_JOB_PACKET, **packet()), piece=40)
        self.assertTrue(c.closed_by_peer())
        self.assertEqual([e['msg'] for e in self.server.journal.entries][-1], 'Text')
        self.assertEqual(sorted(self.server.farm.jobs), [42, 43])

    def test_close_in_the_middle_of_a_multi_frame_message(self):
        c = self.logged_on()
        self.server.set_faults({'close_mid_message': 'request:22'})
        c.send(m.Message(m.REQUEST, mode=1, requested_type=22, parameter=1))
        unit = b''
        while len(unit) < 16:
            unit += c.sock.recv(16 - len(unit))
        length, _, index, count = parse_header(unit)
        self.assertEqual((index, count), (0, 2))
        rest = b''
        while True:
            chunk = c.sock.recv(65536)
            if not chunk:
                break
            rest += chunk
        self.assertEqual(len(rest), length - 16)

    def test_wrong_part_index_and_small_frames(self):
        c = self.logged_on()
        self.server.set_faults({'frame_payload': 500})
        ack, data = c.request(m.RS_DATA, 1)
        self.assertEqual(len(data['records']), 1)
        self.server.set_faults({'wrong_part_index': 'request:24'})
        c.send(m.Message(m.REQUEST, mode=1, requested_type=24, text2='whoami'))
        first = c.sock.recv(16)
        length = parse_header(first)[0]
        body = b''
        while len(body) < length - 16 + 16:
            body += c.sock.recv(65536)
        second = body[length - 16:]
        self.assertEqual(parse_header(second)[1:], (parse_header(first)[1], 8, 2))


class Garbage(ServerCase, unittest.TestCase):
    def test_garbage_kinds(self):
        c = self.logged_on()
        self.server.set_faults({'garbage': {'on': 'request:24', 'kind': 'oversize'}})
        c.send(m.Message(m.REQUEST, mode=1, requested_type=24, text2='whoami'))
        self.assertEqual(struct.unpack('<I', c.sock.recv(4))[0], 1000000)
        c = self.logged_on()
        self.server.set_faults({'garbage': {'on': 'request:24', 'kind': 'badzlib'}})
        ack = c.wait_ack(m.REQUEST, c.send(m.Message(m.REQUEST, mode=1, requested_type=24, text2='x')))
        with self.assertRaises(m.DecodeError):
            m.decode_attachment(ack)
        self.server.set_faults({'garbage': {'on': 9, 'kind': 'hex:0102', 'close': True}})
        c.send(m.Message(9))
        self.assertEqual(c.sock.recv(10), b'\x01\x02')
        self.assertTrue(c.closed_by_peer())

    def test_unknown_switches_are_rejected(self):
        with self.assertRaises(ValueError):
            Faults({'refuse_logins': 'x'})


if __name__ == '__main__':
    unittest.main()
