"""The harness and the simulator's wire format, checked with bytes built by hand."""

import os
import socket
import struct
import unittest
import zlib

import kfharness as kh

IDENT = b'Kilnforge.V2.RemoteController\0'


def raw_challenge(serial, version=45, ident=IDENT):
    body = struct.pack('<II', 1, serial) + ident + struct.pack('<I', version) + b'\0'
    return struct.pack('<I', len(body) + 4) + body


def read_exact(sock, n):
    data = b''
    while len(data) < n:
        chunk = sock.recv(n - len(data))
        if not chunk:
            raise EOFError('closed after %d of %d bytes' % (len(data), n))
        data += chunk
    return data


def read_frame(sock):
    header = read_exact(sock, 16)
    length, serial, index, count = struct.unpack('<IIII', header)
    return serial, index, count, read_exact(sock, length - 16)


def cstr(data, pos):
    end = data.index(b'\0', pos)
    return data[pos:end], end + 1


def connect(sim):
    sock = socket.create_connection((sim.host, sim.port), timeout=10)
    sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    return sock


class ChallengeBytes(unittest.TestCase):
    def test_accepted_challenge_is_acknowledged_without_value3_and_with_update_info(self):
        info = 'Renderers|2.1|no?7507'
        with kh.FarmSim(overrides={'update_info': info}) as sim, connect(sim) as sock:
            sock.sendall(raw_challenge(7))
            serial, index, count, payload = read_frame(sock)
            self.assertEqual((serial, index, count), (1, 0, 1))
            mtype, mserial, acked_type, acked_serial, result = struct.unpack_from('<IIIIB', payload)
            self.assertEqual((mtype, mserial, acked_type, acked_serial, result), (1024, 1, 1, 7, 1))
            text, pos = cstr(payload, 17)
            self.assertEqual(text, b'')
            value1, value2, is_message, length = struct.unpack_from('<IIBI', payload, pos)
            # no value 3 for a challenge: the data-is-message byte follows value 2 directly
            self.assertEqual((value1, value2, is_message, length), (0, 0, 0, len(info)))
            self.assertEqual(payload[pos + 13:], info.encode())

            # the server then introduces itself with its opposite info (type 2, its serial 2)
            _, _, _, payload = read_frame(sock)
            self.assertEqual(struct.unpack_from('<II', payload), (2, 2))
            alias, pos = cstr(payload, 8)
            self.assertEqual(alias, b'Demo render server')
            computer, pos = cstr(payload, pos)
            third, pos = cstr(payload, pos)
            kind, build, _, memory = struct.unpack_from('<HIIQ', payload, pos)
            self.assertEqual((kind, build), (2, 1900))
            self.assertEqual(len(payload), pos + 18)

        entry = sim.messages('Challenge')[0]   # the journal outlives the simulator
        self.assertEqual((entry['serial'], entry['version'], entry['raw']), (7, 45, True))
        self.assertEqual(entry['identifier'], 'Kilnforge.V2.RemoteController')

    def test_wrong_version_is_refused_with_both_versions_and_old_peers_get_a_raw_ack(self):
        with kh.FarmSim() as sim:
            with connect(sim) as sock:
                sock.sendall(raw_challenge(1, version=44))
                _, _, _, payload = read_frame(sock)
                self.assertEqual(payload[16], 0)
                text, _ = cstr(payload, 17)
                self.assertEqual(text, b'the protocol version differs; got 44, expected 45 - '
                                       b'incompatible Kilnforge V2 versions)')
            with connect(sim) as sock:
                sock.sendall(raw_challenge(1, version=29))
                (length,) = struct.unpack('<I', read_exact(sock, 4))
                rest = read_exact(sock, length - 4)
                self.assertEqual(struct.unpack_from('<IIII', rest), (1024, 1, 1, 1))

    def test_login_and_pool_list_in_frames_after_the_challenge(self):
        with kh.FarmSim() as sim, connect(sim) as sock:
            sock.sendall(raw_challenge(1))
            read_frame(sock)
            read_frame(sock)
            login = struct.pack('<IIB', 7, 2, 1) + b'ben\0ben456\0'
            sock.sendall(struct.pack('<IIII', len(login) + 16, 2, 0, 1) + login)
            _, _, _, payload = read_frame(sock)
            self.assertEqual(struct.unpack_from('<IIIIB', payload), (1024, 3, 7, 2, 1))
            request = struct.pack('<IIIII', 1025, 3, 0, 9, 0) + b'\0\0' + struct.pack('<II', 0, 0)
            sock.sendall(struct.pack('<IIII', len(request) + 16, 3, 0, 1) + request)
            payload = read_frame(sock)[3]
            while struct.unpack_from('<I', payload)[0] == 3:   # the farm's greeting text
                payload = read_frame(sock)[3]
            mtype, _, cl, ul = struct.unpack_from('<IIII', payload)
            self.assertEqual((mtype, cl), (9, len(payload) - 16))
            data = zlib.decompress(payload[16:])
            self.assertEqual(len(data), ul)
            self.assertEqual(struct.unpack_from('<BI', data), (0, 2))
            pools, pos = [], 5
            for _ in range(2):
                pos += 4
                ident, pos = cstr(data, pos)
                name, pos = cstr(data, pos)
                pools.append((ident, name))
                for kind in 'ssBIIssIBIs':
                    if kind == 's':
                        _, pos = cstr(data, pos)
                    else:
                        pos += struct.calcsize('<' + kind)
            self.assertEqual(pos, len(data))
            self.assertEqual(pools, [(b'14', b'Lighting'), (b'20', b'Night shift')])

    def test_garbage_drops_only_that_connection(self):
        with kh.FarmSim() as sim:
            with connect(sim) as bad:
                bad.sendall(b'\xff' * 64)
                self.assertEqual(bad.recv(100), b'')
            with connect(sim) as good:
                good.sendall(raw_challenge(1))
                self.assertEqual(read_frame(good)[3][16], 1)


class ProgramDirectory(unittest.TestCase):
    def test_program_dir_holds_the_binary_and_an_ini_configuration(self):
        if not os.path.exists(kh.binary()):
            self.skipTest('no binary at %s' % kh.binary())
        with kh.FarmSim() as sim, kh.ProgramDir(sim, user='ben') as prog:
            self.assertTrue(os.access(prog.binary, os.X_OK))
            self.assertNotEqual(os.path.realpath(prog.binary), os.path.realpath(kh.binary()))
            self.assertEqual(prog.read_file('KfRcCmd.conf'),
                             '[RemoteController.General]\r\nAlias = \r\n\r\n'
                             '[RemoteController.NetJobs]\r\nNetJobNameFormat = Unnamed job - $(scene)\r\n\r\n'
                             '[RemoteController.Server]\r\nServerAddress = 127.0.0.1\r\n'
                             'ServerPort = %d\r\nUserName = ben\r\nUserPwd = ben456\r\n\r\n' % sim.port)
            prog.write_preset('fast', 'NetJob\n{\n}\n')
            self.assertTrue(prog.exists('Presets/NetJobs/fast.knjprs'))
            result = prog.run(['-help'], timeout=60)
            self.assertIsInstance(result.code, int)
            self.assertIn('exit status', str(result))


if __name__ == '__main__':
    kh.main()
