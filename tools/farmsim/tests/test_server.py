import struct
import unittest

from fsim import messages as m
from fsim.datatree import parse_text, render_set_to_text
from fsim.farm import KIND_CHUNK, KIND_CLIENT, KIND_JOB, KIND_POOL
from fsim.frames import split_message

from .support import ServerCase


def packet(**fields):
    f = {'name': 'Test job', 'renderer': '3D/Blender', 'priority': 5, 'pools': ['12'],
         'render_settings': render_set_to_text('Blender/4.1', {'frames': ['1-10']})}
    f.update(fields)
    return f


class LogOn(ServerCase, unittest.TestCase):
    def test_challenge_opposite_info_and_login(self):
        c = self.client()
        ack = c.challenge()
        self.assertEqual((ack['result'], ack['value3'], ack['data_is_message']), (1, None, False))
        info = c.receive()
        self.assertEqual((info.type, info['alias'], info['build']), (m.OPPOSITE_INFO, 'Demo render server', 1900))
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
                         'the protocol version differs; got 44, expected 45 - incompatible Kilnforge V2 versions)')
        self.assertEqual(self.client().challenge(version=29)['result'], 0)

    def test_messages_before_the_challenge_are_ignored(self):
        c = self.client()
        frame_msg = m.encode(m.Message(m.LOGIN, 1, user='anna', password='anna123'))
        raw_login = struct.pack('<I', len(frame_msg) + 4) + frame_msg
        c.send_bytes(raw_login)
        self.assertEqual(c.challenge()['result'], 1)
        self.assertEqual(c.receive().type, m.OPPOSITE_INFO)
        self.assertEqual([e['msg'] for e in self.server.journal.entries], ['Login', 'Challenge'])


class Requests(ServerCase, unittest.TestCase):
    def test_render_system_data_stamp_and_full_pool(self):
        c = self.logged_on()
        ack, data = c.request(m.RS_DATA, 0)
        self.assertEqual((ack['result'], data.type, data['stamp'], data['records']), (1, 22, 42, []))
        ack, data = c.request(m.RS_DATA, 1)
        self.assertEqual(len(data['records']), 1)
        record = data['records'][0]
        self.assertEqual((record['mode'], record['kind'], record['key']), (1, 1, 'Pool'))
        doc = parse_text(record['text'])
        self.assertEqual((doc.name, doc.get('ContentType')), ('DataRoot', 'Pool/1.0'))
        groups = doc.find('Content').find_all('RendererGroup')
        self.assertEqual([g.get('Name') for g in groups],
                         ['3D', 'Archive', 'Lighting', 'Simulation', 'compositing'])
        for group in groups:
            self.assertTrue(group.get('Uuid'))
            for renderer in group.find('Renderers').find_all('Renderer'):
                self.assertEqual(renderer.get('Group'), group.get('Name'))
                self.assertTrue(renderer.get('Uuid'))
                for version in renderer.find('Versions').find_all('RendererVersion'):
                    self.assertEqual(version.get('Parent'), renderer.get('Name'))
                    self.assertTrue(version.get('Uuid'))

    def test_user_data_in_mode_0(self):
        c = self.logged_on('ben', 'ben456')
        u0 = c.request(m.USER_DATA0, mode=0)
        self.assertEqual((u0['rights'], u0['priority_limit'], u0['job_color']), (0, 8, 0xFFFF0000))
        u1 = c.request(m.USER_DATA1, mode=0)
        self.assertEqual([(p['id'], p['name']) for p in u1['pools']], [('14', 'Lighting'), ('20', 'Night shift')])
        self.assertEqual(self.logged_on('carl', 'carl789').request(m.USER_DATA1, mode=0)['pools'], [])

    def test_queries(self):
        c = self.logged_on()
        ack, answer = c.query('whoami; job 43 ;jobstate:42')
        self.assertEqual(answer['text'], 'anna\n43|shot_020 comp|paused|ben|8|compositing/Nuke|0/4\nrendering')
        self.assertEqual(c.query('farm')[1]['text'], 'Kilnforge demo farm, 8 clients, 4 pools')
        self.assertEqual(c.query('chunks 42')[1]['text'].splitlines()[5], '6|error')
        ack, _ = c.query('job 7')
        self.assertEqual((ack['result'], ack['text']), (0, 'Net job 7 does not exist'))
        self.assertEqual(c.query('frobnicate')[0]['text'], 'Unknown query: frobnicate')

    def test_unsupported_request_gets_an_empty_message(self):
        ack, reply = self.logged_on().request(11)
        self.assertEqual((ack['result'], reply.type, reply.trailing), (0, 11, 0))


class Jobs(ServerCase, unittest.TestCase):
    def test_submissions_get_increasing_ids_and_are_kept(self):
        c = self.logged_on()
        first = c.submit(**packet())
        second = c.submit(**packet(name='Second', start_paused=1, split_mode=1, split_count=3))
        self.assertEqual((first['result'], first['value1'], second['value1']), (1, 100, 101))
        job = self.server.farm.jobs[101]
        self.assertEqual((job['name'], job['state'], len(job['chunks'])), ('Second', 'paused', 3))
        entry = [e for e in self.server.journal.entries if e['msg'] == 'NetJobPacket'][0]
        self.assertEqual(entry['render_set'], {'renderer': 'Blender/4.1', 'values': {'frames': ['1-10']}})

    def test_refused_packets(self):
        ben = self.logged_on('ben', 'ben456')
        cases = [
            (packet(renderer=''), 'No renderer specified'),
            (packet(renderer='3D/Povray'), 'Unknown renderer 3D/Povray'),
            (packet(render_settings='<RenderSet><Renderer>Blender/9</Renderer><Values/></RenderSet>'),
             'Unknown renderer version Blender/9'),
            (packet(render_settings=render_set_to_text('Maya/2024', {})),
             'Render settings for Maya/2024 do not match the renderer 3D/Blender'),
            (packet(pools=['Lighting']), 'Client pool Lighting is not assigned to user ben'),
            (packet(pools=['14'], priority=9), 'Priority 9 exceeds the limit of 8'),
            (packet(pools=['14'], urgent=1), 'Urgent net jobs are not permitted'),
        ]
        for fields, text in cases:
            ack = ben.submit(**fields)
            self.assertEqual((ack['result'], ack['text']), (0, text))
        self.assertEqual(ben.submit(**packet(pools=['14', '20'], priority=8))['result'], 1)

    def test_truncated_packet_is_refused(self):
        c = self.logged_on()
        body = m.encode(m.Message(m.NET_JOB_PACKET, 99, **packet()))
        plain = m.decompress_body(body[8:])[0][:-30]
        serial = c.next_serial()
        data = struct.pack('<II', 14, serial) + m.compress_body(plain)
        c.send_bytes(b''.join(split_message(serial, data)))
        ack = c.wait_ack(14, serial)
        self.assertEqual(ack['text'], 'Malformed net job packet (cut short)')

    def test_pool_verbs_and_remote_execution(self):
        anna, ben = self.logged_on(), self.logged_on('ben', 'ben456')
        farm = self.server.farm
        self.assertEqual(anna.control(KIND_POOL, '14', 101)['result'], 1)
        self.assertEqual(farm.pools['14']['state'], 'stopped')
        self.assertEqual(anna.control(KIND_POOL, '99', 100)['text'], 'Client pool 99 does not exist')
        self.assertEqual(anna.control(KIND_CLIENT, 'node02', 14, 'ls\n-l "a b"', 1)['result'], 1)
        self.assertEqual(anna.control(KIND_POOL, '12', 110, 'reboot\n')['result'], 1)
        self.assertEqual(anna.control(KIND_CLIENT, 'node99', 14, 'ls\n')['text'], 'Client node99 is not connected')
        self.assertEqual(ben.control(KIND_CLIENT, 'node01', 14, 'ls\n')['text'],
                         'User ben may not execute commands remotely')
        self.assertEqual(farm.executions[0], {'user': 'anna', 'target': 'node02', 'pool': False,
                                              'command': 'ls', 'arguments': '-l "a b"', 'idle_only': True})
        self.assertEqual(len(farm.executions), 2)


class Robustness(ServerCase, unittest.TestCase):
    def test_bad_input_drops_only_that_connection(self):
        inputs = [
            b'\x03\x00\x00\x00',                                   # raw unit too short
            struct.pack('<I', 5 << 20) + b'x' * 16,                # raw unit too long
        ]
        for data in inputs:
            bad = self.client()
            bad.send_bytes(data)
            self.assertTrue(bad.closed_by_peer(), data)
        framed = [
            struct.pack('<IIII', 20000, 1, 0, 1),                  # frame too long
            struct.pack('<IIII', 16, 1, 0, 0),                     # part count 0
            struct.pack('<IIII', 34, 1, 0, 1) + struct.pack('<IIII', 3, 1, 100, 10) + b'xx',  # body cut
        ]
        for data in framed:
            bad = self.client()
            bad.challenge()
            bad.send_bytes(data)
            self.assertTrue(bad.closed_by_peer(), data)
        self.assertEqual(self.logged_on().query('whoami')[1]['text'], 'anna')

    def test_several_clients_at_once(self):
        clients = [self.client() for _ in range(4)]
        for c in clients:
            c.send(m.Message(m.CHALLENGE, raw=True, identifier=m.APP_IDENTIFIER, version=45))
        for i, c in enumerate(clients):
            c.wait_ack(m.CHALLENGE, 1)
            self.assertEqual(c.login('anna', 'anna123')['result'], 1)
        ids = [c.submit(**packet())['value1'] for c in reversed(clients)]
        self.assertEqual(ids, [100, 101, 102, 103])
        self.assertEqual(len({e['conn'] for e in self.server.journal.entries}), 4)


if __name__ == '__main__':
    unittest.main()
