"""End-to-end test harness: the farm simulator in-process and throw-away program directories.

The API is described in README.md beside this file.
"""

import copy
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

_HERE = os.path.dirname(os.path.abspath(__file__))


def source_dir():
    return os.environ.get('KF_SOURCE_DIR') or os.path.dirname(os.path.dirname(_HERE))


def farmsim_dir():
    return os.path.join(source_dir(), 'tools', 'farmsim')


if farmsim_dir() not in sys.path:
    sys.path.insert(0, farmsim_dir())

from fsim import Farm, FarmServer, Faults, Journal  # noqa: E402
from fsim import messages as wire  # noqa: E402,F401  (re-exported for tests)

DEMO_FARM = os.path.join(farmsim_dir(), 'demo', 'farm.json')
USERS = {'anna': 'anna123', 'ben': 'ben456', 'carl': 'carl789'}


def binary():
    """The binary under test (KFRCCMD, else build/KfRcCmd in the source tree)."""
    return os.environ.get('KFRCCMD') or os.path.join(source_dir(), 'build', 'KfRcCmd')


def demo_farm():
    with open(DEMO_FARM, encoding='utf-8') as fh:
        return json.load(fh)


def _merge(base, overrides):
    for key, value in overrides.items():
        if value is None:
            base.pop(key, None)
        elif isinstance(value, dict) and isinstance(base.get(key), dict):
            _merge(base[key], value)
        else:
            base[key] = copy.deepcopy(value)
    return base


class FarmSim:
    def __init__(self, farm=None, overrides=None, faults=None, journal=None, base_dir=None):
        base_dir = base_dir or os.path.dirname(DEMO_FARM)
        if farm is None:
            desc = demo_farm()
        elif isinstance(farm, str):
            with open(farm, encoding='utf-8') as fh:
                desc = json.load(fh)
            base_dir = os.path.dirname(os.path.abspath(farm))
        else:
            desc = copy.deepcopy(farm)
        if overrides:
            _merge(desc, overrides)
        self._tmp = None
        if journal is None:
            self._tmp = tempfile.mkdtemp(prefix='kfsim-')
            journal = os.path.join(self._tmp, 'journal.jsonl')
        self.journal_path = journal
        self.farm = Farm(desc, base_dir)
        self.server = FarmServer(self.farm, port=0, journal=Journal(journal), faults=Faults(faults))
        self.host = '127.0.0.1'
        self.port = None

    @property
    def address(self):
        return '%s:%d' % (self.host, self.port)

    @property
    def jobs(self):
        return self.farm.jobs

    def start(self):
        self.server.start()
        self.port = self.server.port
        return self

    def stop(self):
        self.server.stop()
        if self._tmp:
            shutil.rmtree(self._tmp, ignore_errors=True)
            self._tmp = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    def set_faults(self, spec):
        self.server.set_faults(spec)

    def journal(self):
        if os.path.exists(self.journal_path):
            with open(self.journal_path, encoding='utf-8') as fh:
                return [json.loads(line) for line in fh if line.strip()]
        # after stop() the private journal file is gone: the same entries from memory
        return json.loads(json.dumps(self.server.journal.entries))

    def messages(self, kind):
        return [e for e in self.journal() if e.get('type') == kind or e.get('msg') == kind]

    def last(self, kind):
        found = self.messages(kind)
        return found[-1] if found else None

    def requests(self, requested_type):
        return [e for e in self.messages('Request') if e.get('requested_type') == requested_type]

    def downloads(self):
        """How many times the whole renderer data was asked for."""
        return len([e for e in self.requests(22) if e['parameter'] == 1])


class Result:
    def __init__(self, args, code, out, err):
        self.args, self.code, self.out, self.err = args, code, out, err

    @property
    def lines(self):
        return self.out.splitlines()

    def __str__(self):
        return 'run %r\nexit status %s\n--- stdout ---\n%s--- stderr ---\n%s' % (
            self.args, self.code, self.out, self.err)

    __repr__ = __str__


def ini_text(sections):
    """INI text with CR LF line ends from {section: {key: value}} (values written as given)."""
    lines = []
    for section, values in sections.items():
        lines.append('[%s]' % section)
        for key, value in values.items():
            lines.append('%s = %s' % (key, value))
        lines.append('')
    return '\r\n'.join(lines) + '\r\n'


class ProgramDir:
    def __init__(self, sim=None, user='anna', password=None, alias='', name_format=None,
                 conf=True, keep=False):
        self.keep = keep
        self.root = tempfile.mkdtemp(prefix='kfprog-')
        self.path = os.path.join(self.root, 'prog')
        os.makedirs(self.path)
        self.binary = os.path.join(self.path, 'KfRcCmd')
        src = binary()
        try:
            os.link(src, self.binary)
        except OSError:
            shutil.copy2(src, self.binary)
        self.machine_env = os.path.join(self.root, 'machine-environment.conf')
        self.sim = sim
        if sim is not None and conf:
            self.write_conf(user=user, password=password, alias=alias, name_format=name_format)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.cleanup()

    def cleanup(self):
        if not self.keep:
            shutil.rmtree(self.root, ignore_errors=True)

    def file(self, relpath):
        return os.path.join(self.path, relpath)

    def write_file(self, relpath, content):
        full = self.file(relpath)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        data = content.encode('utf-8') if isinstance(content, str) else bytes(content)
        with open(full, 'wb') as fh:
            fh.write(data)
        return full

    def read_file(self, relpath, binary=False):
        with open(self.file(relpath), 'rb') as fh:
            data = fh.read()
        return data if binary else data.decode('utf-8')

    def log(self):
        return self.read_file('KfRcCmd.log') if self.exists('KfRcCmd.log') else ''

    def exists(self, relpath):
        return os.path.exists(self.file(relpath))

    def write_conf(self, address='127.0.0.1', port=None, user='anna', password=None, alias='',
                   name_format=None):
        if port is None:
            port = self.sim.port if self.sim is not None else 7506
        if password is None:
            password = USERS.get(user, '')
        if name_format is None:
            name_format = 'Unnamed job - $(scene)'
        return self.write_conf_text(ini_text({
            'RemoteController.General': {'Alias': alias},
            'RemoteController.NetJobs': {'NetJobNameFormat': name_format},
            'RemoteController.Server': {'ServerAddress': address, 'ServerPort': port,
                                        'UserName': user, 'UserPwd': password},
        }))

    def write_conf_text(self, text):
        return self.write_file('KfRcCmd.conf', text)

    def write_defaults(self, sections):
        text = sections if isinstance(sections, str) else ini_text(sections)
        return self.write_file('KfRcDefaults.conf', text)

    def write_env(self, variables):
        if isinstance(variables, str):
            text = variables
        else:
            text = ''.join('%s=%s\n' % (k, v) for k, v in variables.items())
        return self.write_file('Kilnforge.env', text)

    def write_init_py(self, text):
        return self.write_file(os.path.join('Python', 'KfInit.py'), text)

    def write_preset(self, name, text, folder=None):
        if not os.path.splitext(name)[1]:
            name += '.knjprs'
        rel = os.path.join('Presets', 'NetJobs', name)
        if folder is None:
            return self.write_file(rel, text)
        full = os.path.join(folder, rel)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, 'wb') as fh:
            fh.write(text.encode('utf-8'))
        return full

    def run(self, args, env=None, timeout=120, input=None, cwd=None):
        full_env = dict(os.environ)
        full_env['KF_MACHINE_ENV_FILE'] = self.machine_env
        if env:
            full_env.update(env)
        proc = subprocess.run([self.binary] + list(args), cwd=cwd or self.root, env=full_env,
                              input=input.encode('utf-8') if isinstance(input, str) else input,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)
        return Result(list(args), proc.returncode, proc.stdout.decode('utf-8', 'replace'),
                      proc.stderr.decode('utf-8', 'replace'))


def free_port():
    import socket
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as sock:
        sock.bind(('127.0.0.1', 0))
        return sock.getsockname()[1]


def failure_report(code, text, prog):
    """The report of a failed submission or log-on with failure code `code`."""
    return 'ERROR! Job submission failed [code=%i]:\n%s\n\nConfiguration: %s\n' % (
        code, text, prog.file('KfRcCmd.conf'))


def raw_client(sim, timeout=10.0):
    from fsim.client import RawClient
    return RawClient(sim.host, sim.port, timeout)


def main():
    unittest.main(verbosity=2)
