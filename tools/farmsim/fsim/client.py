"""A minimal client of the farm protocol, for tests of the simulator itself.

It speaks the client's side with the simulator's own codec: the raw challenge,
framed messages, acknowledgements. It waits on the socket with a time-out and
never retries.
"""

import socket

from . import messages as m
from .frames import Reassembler, UnitSplitter, split_message


class ClientError(Exception):
    pass


class RawClient:
    def __init__(self, host, port, timeout=10.0):
        self.sock = socket.create_connection((host, port), timeout=timeout)
        self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.splitter = UnitSplitter()
        self.splitter.raw = False
        self.reassembler = Reassembler()
        self.serial = 0
        self.inbox = []
        self.raw_next = False   # the next unit from the server is length-prefixed

    def close(self):
        try:
            self.sock.close()
        except OSError:
            pass

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def next_serial(self):
        self.serial += 1
        return self.serial

    def send(self, msg, piece=None):
        """Sends a message (framed unless raw); returns its serial."""
        if not msg.serial:
            msg.serial = self.next_serial()
        data = m.encode(msg)
        if msg.raw:
            self.sock.sendall(data)
        else:
            self.sock.sendall(b''.join(split_message(msg.serial, data, piece or 16368)))
        return msg.serial

    def send_bytes(self, data):
        self.sock.sendall(data)

    def receive(self):
        """The next whole message from the server; raises ClientError when the peer closes."""
        if self.inbox:
            return self.inbox.pop(0)
        return self._read()

    def wait_for(self, predicate):
        """The first message (kept or new) that satisfies predicate; others are kept."""
        for i, msg in enumerate(self.inbox):
            if predicate(msg):
                return self.inbox.pop(i)
        while True:
            msg = self._read()
            if predicate(msg):
                return msg
            self.inbox.append(msg)

    def _read(self):
        while True:
            self.splitter.raw = self.raw_next
            unit = self.splitter.next_unit()
            if unit is not None:
                if self.raw_next:
                    self.raw_next = False
                    return m.decode(unit, raw=True)
                data = self.reassembler.add(unit)
                if data is not None:
                    return m.decode(data)
                continue
            chunk = self.sock.recv(65536)
            if not chunk:
                raise ClientError('connection closed by the server')
            self.splitter.feed(chunk)

    def closed_by_peer(self):
        """True when the server has closed the connection (reads until it does)."""
        try:
            while True:
                if not self.sock.recv(65536):
                    return True
        except ConnectionResetError:   # closed with our bytes still unread
            return True
        except (socket.timeout, OSError):
            return False

    def wait_ack(self, msg_type, serial):
        """Receives until the acknowledgement of (type, serial); other messages are kept."""
        return self.wait_for(lambda msg: msg.type == m.ACK and msg['acked_type'] == msg_type
                             and msg['acked_serial'] == serial)

    # --- conversations ------------------------------------------------------------

    def challenge(self, identifier=m.APP_IDENTIFIER, version=m.PROTOCOL_VERSION, update_info=''):
        msg = m.Message(m.CHALLENGE, raw=True, identifier=identifier, version=version,
                        update_info=update_info)
        serial = self.send(msg)
        self.raw_next = version < 30
        return self.wait_ack(m.CHALLENGE, serial)

    def opposite_info(self, alias='test', computer='testhost'):
        self.send(m.Message(m.OPPOSITE_INFO, alias=alias, computer=computer, third='', kind=1,
                            build=1900, reserved=0, memory=8 << 30))

    def login(self, user, password):
        serial = self.send(m.Message(m.LOGIN, login=True, user=user, password=password))
        return self.wait_ack(m.LOGIN, serial)

    def logon(self, user, password):
        """Challenge, opposite info and login; raises ClientError on refusal."""
        ack = self.challenge()
        if not ack['result']:
            raise ClientError('challenge refused: %s' % ack['text'])
        self.opposite_info()
        ack = self.login(user, password)
        if not ack['result']:
            raise ClientError('login refused: %s' % ack['text'])
        return ack

    def request(self, requested_type, parameter=0, text1='', text2='', mode=1):
        """Mode 1: returns (ack, attached message); mode 0: returns the message itself."""
        serial = self.send(m.Message(m.REQUEST, mode=mode, requested_type=requested_type,
                                     parameter=parameter, text1=text1, text2=text2,
                                     integers=[], strings=[]))
        if mode == 1:
            ack = self.wait_ack(m.REQUEST, serial)
            return ack, m.decode_attachment(ack)
        return self.wait_for(lambda msg: msg.type == requested_type)

    def query(self, text):
        return self.request(m.DATA_QUERY, 0, '', text)

    def submit(self, **fields):
        serial = self.send(m.Message(m.NET_JOB_PACKET, **fields))
        return self.wait_ack(m.NET_JOB_PACKET, serial)

    def control(self, kind, target, code, argument='', number=0):
        serial = self.send(m.Message(m.SERVER_CONTROL, kind=kind, target=target, code=code,
                                     number=number, argument=argument))
        return self.wait_ack(m.SERVER_CONTROL, serial)
