"""Farm simulator: an independent server side of the farm protocol for tests and demos."""

from .farm import Farm
from .faults import Faults
from .server import FarmServer, Journal

__all__ = ['Farm', 'Faults', 'FarmServer', 'Journal']
