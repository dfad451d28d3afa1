import random
import socket
import struct
import unittest

from fsim import messages as m
from fsim.datatree import render_set_to_text
from fsim.frames import split_message

from .support import ServerCase


def valid_messages():
    """Serialized client messages of every kind, serials from 2 on."""
    rs = render_set_to_text('Blender/4.1', {'frames': ['1-5']})
    msgs = [
        m.Message(m.OPPOSITE_INFO, alias='a', computer='c', kind=1, build=1900, memory=1),
        m.Message(m.LOGIN, user='anna', password='anna123'),
        m.Message(m.REQUEST, mode=1, requested_type=22, parameter=1),
        m.Message(m.REQUEST, mode=0, requested_type=9),
        m.Message(m.REQUEST, mode=1, requested_type=24, text2='jobs;chunks 42'),
        m.Message(m.NET_JOB_PACKET, name='n', renderer='3D/Blender', pools=['12'], render_settings=rs,
                  events=[{'scope': 1, 'type': 2, 'name': 'e', 'flags': 0, 'contents': ['x']}]),
        m.Message(m.SERVER_CONTROL, kind=5, target='42', code=401, argument='3|'),
        m.Message(m.SERVER_CONTROL, kind=1, target='node01', code=14, argument='ls\n-l'),
    ]
    out = []
    for serial, msg in enumerate(msgs, start=2):
        msg.serial = serial
        out.append(m.encode(msg))
    return out


def mutate(rnd, data):
    data = bytearray(data)
    for _ in range(rnd.randint(1, 6)):
        action = rnd.randrange(3)
        pos = rnd.randrange(len(data))
        if action == 0:
            data[pos] = rnd.randrange(256)
        elif action == 1:
            del data[pos:pos + rnd.randint(1, 8)]
        else:
            data[pos:pos] = bytes(rnd.randrange(256) for _ in range(rnd.randint(1, 8)))
        if not data:
            data = bytearray(b'\0')
    return bytes(data)


class Fuzz(ServerCase, unittest.TestCase):
    def test_damaged_messages_never_break_the_server(self):
        rnd = random.Random(1234)
        challenge = m.encode(m.Message(m.CHALLENGE, 1, raw=True))
        messages = valid_messages()
        for round_ in range(120):
            stream = [challenge] + [mutate(rnd, d) if rnd.random() < 0.5 else d for d in messages]
            data = b''.join(b''.join(split_message(2 + i, d, rnd.choice([7, 100, 16368])))
                            for i, d in enumerate(stream[1:]))
            if rnd.random() < 0.3:
                data = mutate(rnd, data)
            with socket.create_connection(('127.0.0.1', self.server.port), timeout=5) as sock:
                sock.sendall(challenge + data)
                sock.shutdown(socket.SHUT_WR)
                while sock.recv(65536):
                    pass
        internal = [e for e in self.server.events if 'internal' in e['text']]
        self.assertEqual(internal, [])
        self.assertEqual(self.logged_on().query('whoami')[1]['text'], 'anna')
        self.assertGreater(len(self.server.journal.entries), 500)


if __name__ == '__main__':
    unittest.main()
