#!/usr/bin/env python3
"""Runs a simulated render farm on a loopback port until interrupted.

    python3 tools/farmsim/farmsim.py --farm tools/farmsim/demo/farm.json [--port N]
            [--journal FILE] [--faults JSON-or-FILE] [--verbose]

Prints "farmsim listening on 127.0.0.1:PORT" once it accepts connections
(port 0 picks a free port). See README.md next to this file.
"""

import argparse
import logging
import os
import signal
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from fsim import Farm, FarmServer, Faults  # noqa: E402


def main(argv=None):
    parser = argparse.ArgumentParser(description='Simulated Kilnforge render farm server.')
    parser.add_argument('--farm', required=True, help='farm description (JSON)')
    parser.add_argument('--host', default='127.0.0.1', help='address to listen on (loopback)')
    parser.add_argument('--port', type=int, default=7506, help='port (0 picks a free one)')
    parser.add_argument('--journal', help='append every received message as a JSON line here')
    parser.add_argument('--faults', help='fault switches: a JSON object or a JSON file')
    parser.add_argument('--verbose', action='store_true', help='log connections and drops')
    args = parser.parse_args(argv)

    logging.basicConfig(level=logging.INFO if args.verbose else logging.WARNING,
                        format='farmsim: %(message)s')
    faults = None
    if args.faults:
        text = args.faults
        if os.path.isfile(text):
            with open(text, encoding='utf-8') as fh:
                text = fh.read()
        faults = Faults(text)
    try:
        farm = Farm.from_file(args.farm)
        server = FarmServer(farm, host=args.host, port=args.port, journal=args.journal,
                            faults=faults).start()
    except (OSError, ValueError, KeyError, TypeError) as exc:
        print('farmsim: %s' % exc, file=sys.stderr)
        return 1

    def stop(*_):
        server.stopping.set()

    signal.signal(signal.SIGINT, stop)
    signal.signal(signal.SIGTERM, stop)
    print('farmsim listening on %s' % server.address, flush=True)
    server.serve_forever()
    return 0


if __name__ == '__main__':
    sys.exit(main())
