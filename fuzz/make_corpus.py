#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets (fuzz/corpus/<name>/) from the
project's own test data: conversations with the farm simulator (the bytes a
server sends, every message both sides send), the settings texts, XML
documents and command lines of the unit and end-to-end tests, the demo farm's
renderer definitions and the example configuration, and the renderer cache
with its index as the program writes them against the demo farm (which needs
build/KfRcCmd). Run it from anywhere. It adds to the corpora: a seed whose
source test was merged away still leads the fuzzer down its path, so committed
seeds stay unless --fresh asks to start the corpora over. Regression inputs
are never touched.
"""

import ast
import glob
import hashlib
import os
import re
import shutil
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'farmsim'))
sys.path.insert(0, os.path.join(ROOT, 'tests', 'e2e'))

from fsim import Farm, FarmServer  # noqa: E402
from fsim import messages as m  # noqa: E402
from fsim.client import RawClient  # noqa: E402
from fsim.frames import Reassembler, UnitSplitter  # noqa: E402

CORPUS = os.path.join(ROOT, 'fuzz', 'corpus')
MAX_SEED = 64 * 1024

# The order of the type table in fuzz_messages.cpp.
MESSAGE_TYPES = [0, 1, 2, 3, 7, 8, 9, 14, 15, 22, 24, 1024, 1025, 4711]
COMPRESSED = {3, 9, 14, 22, 24}


def write(target, data):
    if isinstance(data, str):
        data = data.encode('utf-8')
    if len(data) > MAX_SEED:
        return
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, hashlib.sha1(data).hexdigest()[:16]), 'wb') as f:
        f.write(data)


def c_strings(path, pattern):
    """The C string literals (adjacent ones joined) matched by `pattern`."""
    text = open(path, encoding='utf-8').read()
    for match in re.finditer(pattern, text, re.S):
        pieces = re.findall(r'"((?:[^"\\]|\\.)*)"', match.group(1))
        try:
            yield ''.join(ast.literal_eval('"%s"' % p) for p in pieces)
        except (ValueError, SyntaxError):
            continue


# --- the farm: what a server sends, and every message of a conversation ------

class Recorder(RawClient):
    """A protocol client that keeps every byte it sends and receives."""

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.received = bytearray()
        self.sent = bytearray()
        sock = self.sock
        outer = self

        class Tap:
            def recv(self, n):
                data = sock.recv(n)
                outer.received += data
                return data

            def sendall(self, data):
                outer.sent += data
                return sock.sendall(data)

            def __getattr__(self, name):
                return getattr(sock, name)

        self.sock = Tap()


def conversations(port):
    """(received, sent) bytes of a few typical conversations."""
    out = []

    def run(steps):
        with Recorder('127.0.0.1', port) as c:
            c.logon('anna', 'anna123')
            steps(c)
            out.append((bytes(c.received), bytes(c.sent)))

    run(lambda c: None)
    run(lambda c: (c.request(m.RS_DATA, 0), c.request(m.USER_DATA0, mode=0),
                   c.request(m.USER_DATA1, mode=0)))
    run(lambda c: c.request(m.RS_DATA, 1))
    run(lambda c: (c.query('farm'), c.query('jobs'), c.query('no such query')))
    run(lambda c: (c.control(3, '42', 6), c.control(2, 'Main', 1), c.control(5, '42', 1, '1-3')))
    packet = {name: m._DEFAULTS[kind] for name, kind in m.PACKET_FIELDS}
    packet.update(renderer='3D/Blender', name='Shot', priority=5, pools=['12'],
                  render_settings='<RenderSet>\n\t<Renderer>Blender/4.1</Renderer>\n\t<Values>\n'
                                  '\t\t<samples>\n\t\t\t<Value>128</Value>\n\t\t</samples>\n'
                                  '\t</Values>\n</RenderSet>\n')
    run(lambda c: c.submit(**packet))
    return out


def units(data, first_raw):
    """The serialized messages in a byte stream (the first one raw if asked)."""
    splitter = UnitSplitter()
    splitter.feed(data)
    reassembler = Reassembler()
    raw = first_raw
    while True:
        splitter.raw = raw
        unit = splitter.next_unit()
        if unit is None:
            return
        if raw:
            raw = False
            yield unit, True
            continue
        whole = reassembler.add(unit)
        if whole is not None:
            yield whole, False


def message_seeds(serialized, raw):
    body_at = 12 if raw else 8
    msg_type = int.from_bytes(serialized[body_at - 8:body_at - 4], 'little')
    if msg_type not in MESSAGE_TYPES:
        return
    index = bytes([MESSAGE_TYPES.index(msg_type)])
    body = serialized[body_at:]
    write('messages', index + bytes([1 if raw else 0]) + body)
    if msg_type in COMPRESSED and len(body) >= 8:
        try:
            plain, _ = m.decompress_body(body)
        except m.DecodeError:
            return
        write('messages', index + b'\x02' + plain)


def farm_seeds():
    farm = Farm.from_file(os.path.join(ROOT, 'tools', 'farmsim', 'demo', 'farm.json'))
    with FarmServer(farm) as server:
        for received, sent in conversations(server.port):
            write('frames', b'\x00' + received)
            write('frames', b'\x03\x00\x06\xc8' + received)  # reads of 1, 7 and 201 bytes
            for serialized, raw in units(received, False):
                message_seeds(serialized, raw)
            for serialized, raw in units(sent, True):
                message_seeds(serialized, raw)
        document = farm.renderers.exchange_document()
        write('rs', document if isinstance(document, (bytes, str)) else document.to_text())


# --- the renderer cache and its index, as the program writes them ------------

# The flags of fuzz_cacheindex.cpp: the target appends the checksum line; the
# index is weighed against the cache size it names.
APPEND_CHECKSUM = 1
SIZE_FROM_INDEX = 2
CHECKSUM_LINE = 13


def cacheindex_seed(flags, index, cache):
    write('cacheindex', bytes([flags]) + struct.pack('<H', len(index)) + index + cache)


def cacheindex_seeds():
    import kfharness as kh
    if not os.path.exists(kh.binary()):
        print('no %s: the cacheindex seeds are left out' % kh.binary())
        return
    cache_path = os.path.join('Renderers', 'Renderers.kren')
    index_path = os.path.join('Renderers', 'Renderers.kidx')
    with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
        prog.run(['-listpools'])
        prog.run(['-listpools'])
        index = prog.read_file(index_path, binary=True)
        cache = prog.read_file(cache_path, binary=True)
        # The demo cache is larger than a seed may be: the groups that fit
        # make a smaller one, which the program reads and indexes in turn.
        groups = list(re.finditer(rb'<RendererGroup>.*?</RendererGroup>\s*', cache, re.S))
        room = MAX_SEED - 2 * len(index) - len(cache) + groups[-1].end() - groups[0].start()
        kept = b''
        for group in groups:
            if len(kept) + len(group.group()) <= room:
                kept += group.group()
        small = cache[:groups[0].start()] + kept + cache[groups[-1].end():]
        prog.write_file(cache_path, small)
        os.remove(prog.file(index_path))
        prog.run(['-listpools'])
        small_index = prog.read_file(index_path, binary=True)
    cacheindex_seed(0, small_index, small)
    cacheindex_seed(SIZE_FROM_INDEX, index, b'')
    cacheindex_seed(APPEND_CHECKSUM | SIZE_FROM_INDEX, index[:-CHECKSUM_LINE], b'')


# --- files and command lines of the tests --------------------------------------

def settings_seeds():
    write('settings', open(os.path.join(ROOT, 'dist', 'KfRcCmd.conf.example'), 'rb').read())
    for path in sorted(glob.glob(os.path.join(ROOT, 'tests', 'settings', '*.cpp')) +
                       glob.glob(os.path.join(ROOT, 'tests', 'app', '*.cpp')) +
                       glob.glob(os.path.join(ROOT, 'tests', 'update', '*.cpp'))):
        for text in c_strings(path, r'wxT\(((?:\s*"(?:[^"\\]|\\.)*")+)\s*\)'):
            if '\n' in text and ('{' in text or '[' in text or '=' in text):
                write('settings', text)
        for text in c_strings(path, r'(?<![\w)])((?:\s*"(?:[^"\\]|\\.)*"){2,})'):
            if '\n' in text and ('{' in text or '[' in text):
                write('settings', text)


def rs_seeds():
    paths = [os.path.join(ROOT, 'tests', 'data', 'netjob', 'renderers.xml')]
    paths += sorted(glob.glob(os.path.join(ROOT, 'tools', 'farmsim', 'demo', 'renderers', '*.xml')))
    for path in paths:
        write('rs', open(path, 'rb').read())
    for path in sorted(glob.glob(os.path.join(ROOT, 'tests', 'rs', '*.cpp')) +
                       glob.glob(os.path.join(ROOT, 'tests', 'netjob', '*.cpp'))):
        for text in c_strings(path, r'((?:\s*"(?:[^"\\]|\\.)*")+)'):
            if text.lstrip().startswith('<') and '>' in text:
                write('rs', text)


def cmdline_seeds():
    lists = []
    for path in sorted(glob.glob(os.path.join(ROOT, 'tests', 'app', '*.cpp'))):
        for match in re.finditer(r'\{((?:\s*"(?:[^"\\]|\\.)*"\s*,?)+)\}', open(path).read()):
            items = [ast.literal_eval('"%s"' % p)
                     for p in re.findall(r'"((?:[^"\\]|\\.)*)"', match.group(1))]
            lists.append(items)
    for path in sorted(glob.glob(os.path.join(ROOT, 'tests', 'e2e', '*.py'))):
        for node in ast.walk(ast.parse(open(path).read())):
            if isinstance(node, ast.List) and node.elts and all(
                    isinstance(e, ast.Constant) and isinstance(e.value, str) for e in node.elts):
                lists.append([e.value for e in node.elts])
    for items in lists:
        if not any(i.startswith('-') for i in items):
            continue
        if '-nj_renderer' not in items and not any(i.startswith(('-list', '-query', '-control',
                                                                  '-execute', '-help', '-env'))
                                                    for i in items):
            items = ['-nj_renderer', 'Cam'] + items
        write('cmdline', b'\x00' + '\0'.join(items).encode('utf-8'))
    defaults = '[Defaults]\nnj_priority = 3\nnj_pools = Main\n\n[Night]\nnj_renderer = Cam/1.0\n'
    args = '\0'.join(['-defsection', 'Night', '-nj_name', 'x', 'a.ma']).encode()
    blob = defaults.encode()
    write('cmdline', b'\x01' + bytes([len(blob) & 255, len(blob) >> 8]) + blob + args)


def main():
    if '--fresh' in sys.argv[1:]:
        for target in ('frames', 'messages', 'settings', 'rs', 'cmdline', 'cacheindex'):
            shutil.rmtree(os.path.join(CORPUS, target), ignore_errors=True)
    farm_seeds()
    cacheindex_seeds()
    settings_seeds()
    rs_seeds()
    cmdline_seeds()
    for target in sorted(os.listdir(CORPUS)):
        files = os.listdir(os.path.join(CORPUS, target))
        size = sum(os.path.getsize(os.path.join(CORPUS, target, f)) for f in files)
        print('%-9s %4d files %8d bytes' % (target, len(files), size))


if __name__ == '__main__':
    main()
