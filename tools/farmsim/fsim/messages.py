"""Messages of the farm protocol: envelope, bodies and compression.

A serialized message is its type (32-bit), its serial (32-bit) and its body; a
raw message (the challenge) is additionally prefixed by its total length. Most
data-carrying messages compress their body: compressed length, uncompressed
length, then a zlib stream at level 9 over the uncompressed data.

A decoded message is a `Message` whose `fields` dict holds every body value
under the names used in the journal.
"""

import collections
import threading
import zlib

from .stream import Reader, Writer

GENERIC = 0
CHALLENGE = 1
OPPOSITE_INFO = 2
TEXT = 3
LOGIN = 7
USER_DATA0 = 8
USER_DATA1 = 9
NET_JOB_PACKET = 14
SERVER_CONTROL = 15
RS_DATA = 22
DATA_QUERY = 24
ACK = 1024
REQUEST = 1025

NAMES = {
    GENERIC: 'Generic', CHALLENGE: 'Challenge', OPPOSITE_INFO: 'OppositeInfo', TEXT: 'Text',
    LOGIN: 'Login', USER_DATA0: 'UserData0', USER_DATA1: 'UserData1',
    NET_JOB_PACKET: 'NetJobPacket', SERVER_CONTROL: 'ServerControl', RS_DATA: 'RSData',
    DATA_QUERY: 'DataQuery', ACK: 'Ack', REQUEST: 'Request',
}

APP_IDENTIFIER = 'Kilnforge.V2.RemoteController'
PROTOCOL_VERSION = 45
MAX_UNCOMPRESSED = 256 << 20
ACK_TEXT_LIMIT = 256


class DecodeError(Exception):
    """A message body that cannot be decoded at all (broken compression)."""


class Message:
    """One protocol message: type, serial, raw flag and body fields."""

    def __init__(self, type, serial=0, raw=False, **fields):
        self.type = type
        self.serial = serial
        self.raw = raw
        self.fields = fields
        self.underrun = False   # the body ended before all its fields
        self.trailing = 0       # bytes left after the last field

    @property
    def name(self):
        return NAMES.get(self.type, 'Type%d' % self.type)

    def __getitem__(self, key):
        return self.fields[key]

    def get(self, key, default=None):
        return self.fields.get(key, default)

    def __repr__(self):
        return 'Message(%s, serial=%d, %r)' % (self.name, self.serial, self.fields)


# --- the net job packet ------------------------------------------------------

PACKET_FIELDS = [
    ('lead', 'i32'), ('id', 'i32'), ('lead_text', 'str'), ('name', 'str'), ('color', 'u32'),
    ('priority', 'i32'), ('urgent', 'u8'), ('renderer', 'str'), ('use_32bit', 'u8'),
    ('use_64bit', 'u8'), ('render_cores', 'i32'), ('send_emails', 'u8'), ('cache_scenes', 'u8'),
    ('split_mode', 'i32'), ('split_count', 'i32'), ('slice_mode', 'i32'), ('slice_y', 'i32'),
    ('slice_x', 'i32'), ('slice_overlap', 'i32'), ('slice_format', 'str'),
    ('extended_splitting', 'strlist'), ('chunk_order', 'i32'), ('first_last_first', 'u8'),
    ('scheduled', 'u8'), ('scheduled_time', 'f64'), ('scheduled_text', 'str'),
    ('client_limit', 'i32'), ('min_client_priority', 'i32'), ('min_client_memory', 'i32'),
    ('min_dispatch_delay', 'i32'), ('dependencies', 'i32list'), ('dependency_type', 'i32'),
    ('unfinished_is_done', 'u8'), ('use_lower_threshold', 'u8'), ('lower_minutes', 'i32'),
    ('lower_seconds', 'i32'), ('lower_action', 'i32'), ('use_upper_threshold', 'u8'),
    ('upper_minutes', 'i32'), ('upper_seconds', 'i32'), ('upper_action', 'i32'),
    ('error_action', 'i32'), ('error_tolerance', 'i32'), ('include_recreated', 'u8'),
    ('check_method', 'i32'), ('check_image_dir', 'str'), ('check_image_name', 'str'),
    ('check_size_threshold', 'i32'), ('check_recurse', 'u8'), ('check_exact', 'u8'),
    ('check_disable_subsequent', 'u8'), ('events', 'events'), ('email_recipients', 'str'),
    ('email_users', 'strlist'), ('project', 'str'), ('notes', 'str'), ('tags', 'str'),
    ('custom_fields', 'str'), ('start_paused', 'u8'), ('pools', 'strlist'), ('clients', 'strlist'),
    ('clients_admit_only', 'u8'), ('render_settings', 'str'),
]

POOL_RECORD_FIELDS = [
    ('number', 'u32'), ('id', 'str'), ('name', 'str'), ('description', 'str'), ('owner', 'str'),
    ('active', 'u8'), ('client_count', 'u32'), ('priority', 'u32'), ('created', 'str'),
    ('notes', 'str'), ('flags', 'u32'), ('default', 'u8'), ('reserved', 'u32'), ('tag', 'str'),
]

_DEFAULTS = {'u8': 0, 'u16': 0, 'u32': 0, 'i32': 0, 'u64': 0, 'f64': 0.0, 'str': '',
             'strlist': [], 'i32list': [], 'events': [], 'bool': False}


def _write_value(w, kind, value):
    if kind == 'events':
        w.u32(len(value))
        for ev in value:
            w.i32(ev.get('scope', 0)).i32(ev.get('type', 0)).string(ev.get('name', ''))
            w.i32(ev.get('flags', 0)).string_list(ev.get('contents', []))
    elif kind == 'strlist':
        w.string_list(value)
    elif kind == 'i32list':
        w.i32_list(value)
    elif kind == 'str':
        w.string(value)
    elif kind == 'bool':
        w.u8(1 if value else 0)
    else:
        getattr(w, kind)(value)


def _read_value(r, kind):
    if kind == 'events':
        events = []
        for _ in range(r.count(1 << 20)):
            events.append({'scope': r.i32(), 'type': r.i32(), 'name': r.string(),
                           'flags': r.i32(), 'contents': r.string_list()})
        return events
    if kind == 'strlist':
        return r.string_list()
    if kind == 'i32list':
        return r.i32_list()
    if kind == 'str':
        return r.string()
    if kind == 'bool':
        return r.boolean()
    return getattr(r, kind)()


def _write_fields(w, spec, fields):
    for name, kind in spec:
        _write_value(w, kind, fields.get(name, _DEFAULTS[kind]))


def _read_fields(r, spec):
    return {name: _read_value(r, kind) for name, kind in spec}


# --- bodies --------------------------------------------------------------------
# Each body codec is (compressed, write(writer, fields), read(reader) -> fields).

def _w_challenge(w, f):
    w.string(f.get('identifier', APP_IDENTIFIER)).u32(f.get('version', PROTOCOL_VERSION))
    w.string(f.get('update_info', ''))


def _r_challenge(r):
    return {'identifier': r.string(), 'version': r.i32(), 'update_info': r.string()}


def _w_opposite(w, f):
    w.string(f.get('alias', '')).string(f.get('computer', '')).string(f.get('third', ''))
    w.u16(f.get('kind', 0)).u32(f.get('build', 0)).u32(f.get('reserved', 0))
    w.u64(f.get('memory', 0))


def _r_opposite(r):
    return {'alias': r.string(), 'computer': r.string(), 'third': r.string(), 'kind': r.u16(),
            'build': r.u32(), 'reserved': r.u32(), 'memory': r.u64()}


def _w_text(w, f):
    w.string(f.get('text1', '')).string(f.get('text2', ''))


def _r_text(r):
    return {'text1': r.string(), 'text2': r.string()}


def _w_login(w, f):
    w.u8(1 if f.get('login', True) else 0).string(f.get('user', '')).string(f.get('password', ''))


def _r_login(r):
    return {'login': r.boolean(True), 'user': r.string(), 'password': r.string()}


def _w_user0(w, f):
    w.string(f.get('text1', '')).string(f.get('text2', '')).u8(f.get('flag', 0))
    w.u32(f.get('rights', 0)).u32(f.get('priority_limit', 0)).u32(f.get('reserved', 0))
    w.u32(f.get('job_color', 0xFF000000))


def _r_user0(r):
    return {'text1': r.string(), 'text2': r.string(), 'flag': r.u8(), 'rights': r.u32(),
            'priority_limit': r.u32(), 'reserved': r.u32(), 'job_color': r.u32(0xFF000000)}


def _w_user1(w, f):
    pools = f.get('pools', [])
    w.u8(f.get('lead', 0)).u32(len(pools))
    for pool in pools:
        _write_fields(w, POOL_RECORD_FIELDS, pool)


def _r_user1(r):
    lead = r.u8()
    pools = [_read_fields(r, POOL_RECORD_FIELDS) for _ in range(r.count(1 << 20))]
    return {'lead': lead, 'pools': pools}


def _w_packet(w, f):
    _write_fields(w, PACKET_FIELDS, f)


def _r_packet(r):
    return _read_fields(r, PACKET_FIELDS)


def _w_control(w, f):
    w.u16(f.get('kind', 0)).string(f.get('target', '')).u16(f.get('code', 0))
    w.u32(f.get('number', 0)).string(f.get('argument', ''))


def _r_control(r):
    return {'kind': r.u16(), 'target': r.string(), 'code': r.u16(), 'number': r.u32(),
            'argument': r.string()}


def _w_rsdata(w, f):
    records = f.get('records', [])
    w.i32(f.get('stamp', 0)).u32(len(records))
    for rec in records:
        w.i32(rec.get('mode', 1)).i32(rec.get('kind', 1)).string(rec.get('key', ''))
        w.string(rec.get('text', ''))


def _r_rsdata(r):
    stamp = r.i32()
    records = []
    for _ in range(r.count(1 << 20)):
        records.append({'mode': r.i32(), 'kind': r.i32(), 'key': r.string(), 'text': r.string()})
    return {'stamp': stamp, 'records': records}


def _w_query(w, f):
    w.string(f.get('text', ''))


def _r_query(r):
    return {'text': r.string()}


def _w_ack(w, f):
    text = f.get('text', '')[:ACK_TEXT_LIMIT]
    w.u32(f.get('acked_type', 0)).u32(f.get('acked_serial', 0)).u8(1 if f.get('result') else 0)
    w.string(text).u32(f.get('value1', 0)).u32(f.get('value2', 0))
    if f.get('acked_type', 0) != CHALLENGE:
        w.u32(f.get('value3', 0))
    data = f.get('data', b'')
    if isinstance(data, str):
        data = data.encode('utf-8')
    w.u8(1 if f.get('data_is_message', True) else 0).u32(len(data)).raw(data)


def _r_ack(r):
    f = {'acked_type': r.u32(), 'acked_serial': r.u32(), 'result': r.u8(), 'text': r.string(),
         'value1': r.u32(), 'value2': r.u32()}
    f['value3'] = r.u32() if f['acked_type'] != CHALLENGE else None
    f['data_is_message'] = r.boolean(True)
    n = r.u32()
    f['data'] = r.raw(n) if n else b''
    return f


def _w_request(w, f):
    w.u32(f.get('mode', 0)).u32(f.get('requested_type', 0)).u32(f.get('parameter', 0))
    w.string(f.get('text1', '')).string(f.get('text2', ''))
    w.i32_list(f.get('integers', [])).string_list(f.get('strings', []))


def _r_request(r):
    return {'mode': r.u32(), 'requested_type': r.u32(), 'parameter': r.u32(), 'text1': r.string(),
            'text2': r.string(), 'integers': r.i32_list(), 'strings': r.string_list()}


BODIES = {
    CHALLENGE: (False, _w_challenge, _r_challenge),
    OPPOSITE_INFO: (False, _w_opposite, _r_opposite),
    TEXT: (True, _w_text, _r_text),
    LOGIN: (False, _w_login, _r_login),
    USER_DATA0: (False, _w_user0, _r_user0),
    USER_DATA1: (True, _w_user1, _r_user1),
    NET_JOB_PACKET: (True, _w_packet, _r_packet),
    SERVER_CONTROL: (False, _w_control, _r_control),
    RS_DATA: (True, _w_rsdata, _r_rsdata),
    DATA_QUERY: (True, _w_query, _r_query),
    ACK: (False, _w_ack, _r_ack),
    REQUEST: (False, _w_request, _r_request),
}


# --- envelope ------------------------------------------------------------------

# A large body that is sent again (a canned query answer, the renderer data) is compressed once:
# level 9 over tens of MiB takes seconds, and a client asking twice would wait for it twice.
_PACKED_FROM = 64 << 10
_PACKED_KEPT = 4
_packed = collections.OrderedDict()
_packed_lock = threading.Lock()


def _deflate(data):
    if len(data) < _PACKED_FROM:
        return zlib.compress(data, 9)
    data = bytes(data)
    with _packed_lock:
        packed = _packed.get(data)
        if packed is not None:
            _packed.move_to_end(data)
            return packed
    packed = zlib.compress(data, 9)
    with _packed_lock:
        _packed[data] = packed
        while len(_packed) > _PACKED_KEPT:
            _packed.popitem(last=False)
    return packed


def compress_body(data, corrupt=False, uncompressed_length=None):
    """The compressed body: CL, UL and the zlib stream (optionally damaged for tests)."""
    packed = _deflate(data)
    if corrupt:
        packed = bytes(b ^ 0x5A for b in packed)
    ul = len(data) if uncompressed_length is None else uncompressed_length
    return Writer().u32(len(packed)).u32(ul).raw(packed).getvalue()


def decompress_body(body):
    """Inverse of compress_body; returns (data, bytes of the body consumed)."""
    r = Reader(body)
    cl, ul = r.u32(), r.u32()
    if r.underrun:
        return b'', len(body)
    if ul > MAX_UNCOMPRESSED:
        raise DecodeError('uncompressed length %d is too large' % ul)
    packed = r.raw(cl)
    if r.underrun:
        raise DecodeError('compressed body is cut short (%d of %d bytes)' % (len(body) - 8, cl))
    try:
        d = zlib.decompressobj()
        data = d.decompress(packed, ul + 1)
        if not d.eof:
            raise DecodeError('zlib stream is incomplete')
    except zlib.error as exc:
        raise DecodeError('zlib: %s' % exc)
    if len(data) != ul:
        raise DecodeError('body inflates to %d bytes, %d announced' % (len(data), ul))
    return data, 8 + cl


def encode_body(msg, corrupt_zlib=False, uncompressed_length=None, plain_body=None):
    codec = BODIES.get(msg.type)
    if codec is None:
        return b''
    compressed, write, _ = codec
    if compressed and plain_body is not None:
        data = plain_body
    else:
        w = Writer()
        write(w, msg.fields)
        data = w.getvalue()
    if compressed:
        return compress_body(data, corrupt_zlib, uncompressed_length)
    return data


def encode(msg, **body_options):
    """Serializes a message: envelope and body (length-prefixed when raw)."""
    body = encode_body(msg, **body_options)
    core = Writer().u32(msg.type).u32(msg.serial).raw(body).getvalue()
    if msg.raw:
        return Writer().u32(len(core) + 4).raw(core).getvalue()
    return core


def decode(data, raw=False):
    """Reads one serialized message. Raises DecodeError only for broken compression."""
    r = Reader(data)
    if raw:
        r.u32()
    msg = Message(r.u32(GENERIC), r.u32(), raw=raw)
    codec = BODIES.get(msg.type)
    if codec is None:
        msg.trailing = r.remaining()
        return msg
    compressed, _, read = codec
    body = data[r.pos:]
    if compressed:
        plain, used = decompress_body(body)
        trailing = len(body) - used
        br = Reader(plain)
    else:
        trailing = 0
        br = Reader(body)
    msg.fields = read(br)
    msg.underrun = br.underrun
    msg.trailing = br.remaining() + trailing
    return msg


def decode_attachment(ack):
    """The message carried in an acknowledgement's data, or None."""
    data = ack.fields.get('data', b'')
    if not ack.fields.get('data_is_message', True) or len(data) < 4:
        return None
    return decode(data)
