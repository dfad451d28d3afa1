"""Shared set-up for the simulator's tests: the demo farm on a free port."""

import os

from fsim import Farm, FarmServer
from fsim.client import RawClient

DEMO = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                    'demo', 'farm.json')


class ServerCase:
    """Mixin: starts a demo server per test; self.client() opens connections."""

    faults = None

    def setUp(self):
        farm = Farm.from_file(DEMO)
        farm.motd = ''  # no greeting text: tests that read the raw socket expect only answers
        self.server = FarmServer(farm, faults=self.faults).start()
        self.clients = []

    def tearDown(self):
        for c in self.clients:
            c.close()
        self.server.stop()

    def client(self, timeout=5.0):
        c = RawClient('127.0.0.1', self.server.port, timeout)
        self.clients.append(c)
        return c

    def logged_on(self, user='anna', password='anna123'):
        c = self.client()
        c.logon(user, password)
        return c
