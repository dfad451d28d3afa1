"""The server side of the farm protocol on a loopback TCP port.

`FarmServer` accepts any number of clients, one thread each. A connection
starts by expecting the length-prefixed challenge; once the challenge is
accepted everything travels in frames. Every decoded client message is written
to the journal before it is acted on. Input that cannot be a valid stream ends
that connection only; the server keeps serving the others.
"""

import json
import logging
import math
import random
import selectors
import socket
import struct
import threading
import time

from . import messages as m
from .datatree import render_set_from_text
from .faults import Faults
from .frames import (HEADER_SIZE, MAX_PIECE, ProtocolError, Reassembler, UnitSplitter,
                     make_frame, parse_header, split_message)

log = logging.getLogger('farmsim')


class Journal:
    """Every decoded client message as one JSON object, in memory and in a file."""

    def __init__(self, path=None):
        self.path = path
        self.entries = []
        self.lock = threading.Lock()
        if path:
            open(path, 'a', encoding='utf-8').close()

    def add(self, entry):
        line = json.dumps(entry, ensure_ascii=False, sort_keys=True)
        with self.lock:
            self.entries.append(entry)
            if self.path:
                with open(self.path, 'a', encoding='utf-8') as fh:
                    fh.write(line + '\n')


def _jsonable(value):
    if isinstance(value, (bytes, bytearray)):
        return bytes(value).hex()
    if isinstance(value, dict):
        return {k: _jsonable(v) for k, v in value.items()}
    if isinstance(value, list):
        return [_jsonable(v) for v in value]
    return value


def journal_entry(conn_id, msg):
    entry = {'conn': conn_id, 'time': round(time.time(), 3), 'type': msg.type,
             'msg': msg.name, 'serial': msg.serial}
    for key, value in msg.fields.items():
        entry[key] = _jsonable(value)
    if msg.raw:
        entry['raw'] = True
    if msg.underrun:
        entry['underrun'] = True
    if msg.trailing:
        entry['trailing'] = msg.trailing
    if msg.type == m.NET_JOB_PACKET:
        try:
            entry['render_set'] = render_set_from_text(msg.fields.get('render_settings', ''))
        except ValueError as exc:
            entry['render_set'] = {'error': str(exc)}
    if msg.type == m.ACK:
        entry['data'] = msg.fields.get('data', b'').hex()
    return entry


class _Closed(Exception):
    """The connection was closed on purpose (a fault) or by the peer."""


class Connection:
    def __init__(self, server, sock, conn_id):
        self.server = server
        self.sock = sock
        self.id = conn_id
        self.splitter = UnitSplitter()
        self.reassembler = Reassembler(on_drop=lambda text: self._note('dropped frame: ' + text))
        self.serial = 0
        self.received = 0
        self.challenged = False
        self.user = None
        self.peer = {}
        self.trigger = None
        self.body_options = {}
        self.closed = False

    # --- plumbing ----------------------------------------------------------------

    def _note(self, text):
        log.info('[conn %d] %s', self.id, text)
        self.server.events.append({'conn': self.id, 'text': text})

    def next_serial(self):
        self.serial += 1
        return self.serial

    def close(self):
        if not self.closed:
            self.closed = True
            try:
                self.sock.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            self.sock.close()

    def run(self):
        self._note('connected')
        try:
            while not self.closed:
                data = self.sock.recv(65536)
                if not data:
                    self._note('peer closed the connection')
                    break
                self.splitter.feed(data)
                while not self.closed:
                    unit = self.splitter.next_unit()
                    if unit is None:
                        break
                    self._unit(unit)
        except _Closed as exc:
            self._note('closed: %s' % exc)
        except (ProtocolError, m.DecodeError) as exc:
            self._note('bad input, dropping the connection: %s' % exc)
        except OSError as exc:
            if not self.closed:
                self._note('socket error: %s' % exc)
        except Exception:  # never let one client take the server down
            log.exception('[conn %d] internal error', self.id)
            self._note('internal error')
        finally:
            self.close()
            self.server._forget(self)

    def _unit(self, unit):
        if self.splitter.raw:
            self._message(unit, raw=True)
            return
        cut = self.server.faults.close_mid_receive
        if cut and len(unit) >= HEADER_SIZE + 4:
            _, serial, index, count = parse_header(unit)
            head = m.Message(struct.unpack_from('<i', unit, HEADER_SIZE)[0], serial)
            if index == 0 and count > 1 and Faults.any_match(cut, head):
                raise _Closed('after part 1 of %d of %s %d' % (count, head.name, serial))
        data = self.reassembler.add(unit)
        if data is not None:
            if len(data) < 4:
                self._note('message shorter than its type ignored')
                return
            self._message(data, raw=False)

    def _message(self, data, raw):
        try:
            msg = m.decode(data, raw=raw)
        except m.DecodeError as exc:
            head = m.decode(data[:8 + (4 if raw else 0)], raw=raw)
            self.server.journal.add({'conn': self.id, 'time': round(time.time(), 3),
                                     'type': head.type, 'msg': head.name, 'serial': head.serial,
                                     'error': str(exc)})
            raise
        self.received += 1
        self.server.journal.add(journal_entry(self.id, msg))
        faults = self.server.faults
        if faults.close_after and self.received >= int(faults.close_after):
            raise _Closed('after %d messages' % self.received)
        if Faults.any_match(faults.close_on, msg):
            raise _Closed('on %s %d' % (msg.name, msg.serial))
        if Faults.any_match(faults.silent, msg):
            self._note('%s %d left unanswered' % (msg.name, msg.serial))
            return
        delay = faults.delay_for(msg)
        if delay > 0 and self.server.stopping.wait(delay):
            raise _Closed('server stopping')
        self.trigger = msg
        self.body_options = {}
        if Faults.any_match(faults.body, msg):
            self.body_options = {'plain_body': faults.plain_body()}
        if Faults.any_match(faults.garbage, msg):
            kind = faults.garbage_kind
            if kind == 'badzlib':
                self.body_options = {'corrupt_zlib': True}
            elif kind == 'hugeul':
                self.body_options = {'uncompressed_length': 0xFFFFFFF0}
            else:
                self._send_bytes(self._garbage(kind))
                if faults.garbage_close:
                    raise _Closed('after garbage')
                return
        try:
            self._dispatch(msg)
        finally:
            self.trigger = None
            self.body_options = {}
        if faults.garbage_close and Faults.any_match(faults.garbage, msg):
            raise _Closed('after garbage')

    def _garbage(self, kind):
        if kind == 'oversize':
            return b'\x40\x42\x0f\x00' + bytes(range(1, 13)) + b'\xee' * 64
        if kind == 'undersize':
            return b'\x08\x00\x00\x00' + b'\xee' * 4
        if kind.startswith('hex:'):
            return bytes.fromhex(kind[4:])
        rnd = random.Random(self.received)
        return bytes(rnd.randrange(256) for _ in range(64))

    def _send_bytes(self, data):
        try:
            self.sock.sendall(data)
        except OSError as exc:
            raise _Closed('send failed: %s' % exc)

    def send(self, msg):
        """Serializes, frames and sends one message, applying the answer faults."""
        if not msg.serial:
            msg.serial = self.next_serial()
        data = m.encode(msg, **self.body_options)
        if msg.raw:
            self._send_bytes(data)
            return
        faults = self.server.faults
        piece = int(faults.frame_payload or MAX_PIECE)
        wrong = Faults.any_match(faults.wrong_part_index, self.trigger)
        cut = Faults.any_match(faults.close_mid_message, self.trigger)
        if (wrong or cut) and len(data) > 1:
            piece = min(piece, math.ceil(len(data) / 2))
        frames = split_message(msg.serial, data, piece)
        if wrong and len(frames) > 1:
            _, serial, index, count = struct.unpack_from('<IIII', frames[1])
            frames[1] = make_frame(serial, index + 7, count, frames[1][16:])
        if cut and len(frames) > 1:
            self._send_bytes(frames[0])
            raise _Closed('in the middle of %s %d' % (msg.name, msg.serial))
        self._send_bytes(b''.join(frames))

    def ack(self, msg, result, text='', value1=0, value2=0, value3=0, attached=None, raw=False):
        fields = {'acked_type': msg.type, 'acked_serial': msg.serial, 'result': 1 if result else 0,
                  'text': text, 'value1': value1, 'value2': value2, 'value3': value3}
        if attached is not None:
            if not attached.serial:
                attached.serial = self.next_serial()
            fields['data'] = m.encode(attached, **self.body_options)
        self.send(m.Message(m.ACK, raw=raw, **fields))

    # --- handlers ------------------------------------------------------------------

    def _dispatch(self, msg):
        if msg.type == m.CHALLENGE:
            return self._on_challenge(msg)
        if not self.challenged:
            self._note('%s before the challenge ignored' % msg.name)
            return
        if msg.type == m.OPPOSITE_INFO:
            self.peer = dict(msg.fields)
        elif msg.type == m.LOGIN:
            self._on_login(msg)
        elif msg.type == m.REQUEST:
            self._on_request(msg)
        elif msg.type == m.NET_JOB_PACKET:
            self._on_packet(msg)
        elif msg.type == m.SERVER_CONTROL:
            self._on_control(msg)
        elif msg.type in (m.ACK, m.TEXT):
            pass
        else:
            self._note('%s not handled' % msg.name)

    def _on_challenge(self, msg):
        farm, faults = self.server.farm, self.server.faults
        version = msg.fields.get('version', 0)
        if msg.fields.get('identifier') != farm.identifier:
            ok, reason = False, 'invalid challenge ID'
        elif version != farm.protocol_version:
            ok, reason = False, ('the protocol version differs; got %i, expected %i - '
                                 'incompatible Kilnforge V2 versions)'
                                 % (version, farm.protocol_version))
        else:
            ok, reason = True, ''
        if ok and faults.refuse_challenge is not None:
            ok, reason = False, faults.refuse_challenge
        info = farm.update_info_text(faults.critical_update)
        self.send(m.Message(m.ACK, raw=version < 30 and msg.raw, acked_type=m.CHALLENGE,
                            acked_serial=msg.serial, result=1 if ok else 0, text=reason,
                            value1=0, value2=0, data_is_message=0, data=info.encode('utf-8')))
        if not ok:
            return
        self.challenged = True
        self.splitter.raw = False
        self.send(m.Message(m.OPPOSITE_INFO, **farm.server_info))

    def _on_login(self, msg):
        farm, faults = self.server.farm, self.server.faults
        if not msg.fields.get('login', True):
            self.user = None
            return self.ack(msg, True)
        user = msg.fields.get('user', '')
        if faults.refuse_login is not None:
            ok, text = False, faults.refuse_login
        else:
            ok, text = farm.login(user, msg.fields.get('password', ''))
        self.user = user if ok else None
        self.ack(msg, ok, text)
        if ok and farm.motd:
            self.send(m.Message(m.TEXT, text1=farm.motd, text2=''))

    def _on_request(self, msg):
        farm = self.server.farm
        f = msg.fields
        mode, rtype = f.get('mode', 0), f.get('requested_type', 0)
        if self.user is None:
            self._note('request for type %d before login refused' % rtype)
            if mode == 1:
                self.ack(msg, False, 'Not logged in')
            return
        result, text = True, ''
        if rtype == m.USER_DATA0:
            reply = m.Message(m.USER_DATA0, **farm.user_data0(self.user))
        elif rtype == m.USER_DATA1:
            reply = m.Message(m.USER_DATA1, **farm.user_data1(self.user))
        elif rtype == m.RS_DATA:
            records = [farm.renderers.record()] if f.get('parameter') == 1 else []
            reply = m.Message(m.RS_DATA, stamp=farm.data_stamp, records=records)
        elif rtype == m.DATA_QUERY:
            result, answer = farm.query(self.user, f.get('text2') or f.get('text1', ''))
            reply = m.Message(m.DATA_QUERY, text=answer if result else '')
            text = '' if result else answer
        elif rtype == m.TEXT:
            reply = m.Message(m.TEXT, text1=farm.motd, text2='')
        elif rtype == m.OPPOSITE_INFO:
            reply = m.Message(m.OPPOSITE_INFO, **farm.server_info)
        else:
            reply = m.Message(rtype)
            result, text = False, 'Unsupported request for message type %d' % rtype
        reply.serial = self.next_serial()
        if mode == 1:
            self.ack(msg, result, text, attached=reply)
        else:
            self.send(reply)

    def _on_packet(self, msg):
        farm, faults = self.server.farm, self.server.faults
        if self.user is None:
            return self.ack(msg, False, 'Not logged in')
        if msg.underrun or msg.trailing:
            problem = 'cut short' if msg.underrun else '%d bytes left over' % msg.trailing
            return self.ack(msg, False, 'Malformed net job packet (%s)' % problem)
        if faults.refuse_job is not None:
            return self.ack(msg, False, faults.refuse_job)
        ok, value = farm.submit(self.user, msg.fields)
        if ok:
            self.ack(msg, True, '', value1=value)
        else:
            self.ack(msg, False, value)

    def _on_control(self, msg):
        farm, faults = self.server.farm, self.server.faults
        if self.user is None:
            return self.ack(msg, False, 'Not logged in')
        refusal = faults.control_refusal(msg.fields.get('code'))
        if refusal is not None:
            return self.ack(msg, False, refusal)
        ok, text = farm.control(self.user, msg.fields)
        self.ack(msg, ok, text)


class FarmServer:
    """A farm on 127.0.0.1; start() it (port 0 picks a free port), stop() it."""

    def __init__(self, farm, host='127.0.0.1', port=0, journal=None, faults=None):
        self.farm = farm
        self.host = host
        self.requested_port = port
        self.journal = journal if isinstance(journal, Journal) else Journal(journal)
        self.faults = faults if isinstance(faults, Faults) else Faults(faults)
        self.events = []
        self.stopping = threading.Event()
        self._stopped = False
        self._listener = None
        self._wake_r, self._wake_w = socket.socketpair()
        self._thread = None
        self._conns = {}
        self._conn_lock = threading.Lock()
        self._next_id = 0
        self.port = None

    @property
    def address(self):
        return '%s:%d' % (self.host, self.port)

    def set_faults(self, spec):
        self.faults = spec if isinstance(spec, Faults) else Faults(spec)

    def start(self):
        self._listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self._listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self._listener.bind((self.host, self.requested_port))
        self._listener.listen(16)
        self.port = self._listener.getsockname()[1]
        self._thread = threading.Thread(target=self._accept_loop, name='farmsim-accept',
                                        daemon=True)
        self._thread.start()
        return self

    def _accept_loop(self):
        sel = selectors.DefaultSelector()
        sel.register(self._listener, selectors.EVENT_READ)
        sel.register(self._wake_r, selectors.EVENT_READ)
        try:
            while not self.stopping.is_set():
                for key, _ in sel.select():
                    if key.fileobj is self._wake_r:
                        return
                    try:
                        sock, _ = self._listener.accept()
                    except OSError:
                        continue
                    sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
                    with self._conn_lock:
                        self._next_id += 1
                        conn = Connection(self, sock, self._next_id)
                        thread = threading.Thread(target=conn.run, daemon=True,
                                                  name='farmsim-conn-%d' % conn.id)
                        self._conns[conn] = thread
                    thread.start()
        finally:
            sel.close()

    def _forget(self, conn):
        with self._conn_lock:
            self._conns.pop(conn, None)

    def connection_count(self):
        with self._conn_lock:
            return len(self._conns)

    def stop(self):
        if self._stopped:
            return
        self._stopped = True
        self.stopping.set()
        try:
            self._wake_w.send(b'x')
        except OSError:
            pass
        if self._thread:
            self._thread.join(5)
        if self._listener:
            self._listener.close()
        with self._conn_lock:
            conns = list(self._conns.items())
        for conn, _ in conns:
            conn.close()
        for _, thread in conns:
            thread.join(5)
        self._wake_r.close()
        self._wake_w.close()

    def serve_forever(self):
        try:
            while not self.stopping.wait(3600):
                pass
        finally:
            self.stop()

    def __enter__(self):
        if self.port is None:
            self.start()
        return self

    def __exit__(self, *exc):
        self.stop()
