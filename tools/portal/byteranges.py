"""Byte-range arithmetic shared by the demo portal and the test update host.

The client asks for "bytes=N-" (and "bytes=N-M" when it knows the end); both
servers answer the same way, so the rules live here once.
"""

import re

# One range only: the client never asks for several, and a server may ignore
# a Range header it does not want to honour (it then sends the whole file).
_RANGE = re.compile(r"^\s*bytes\s*=\s*(\d*)\s*-\s*(\d*)\s*$", re.IGNORECASE)

UNSATISFIABLE = "unsatisfiable"


def parse_range(header, size):
    """Return (first, last) inclusive, UNSATISFIABLE, or None for "send all".

    None covers a missing header and one we do not understand (several
    ranges, another unit, last before first): those get the whole file, 200.
    """
    if header is None:
        return None
    match = _RANGE.match(header)
    if not match:
        return None
    first_text, last_text = match.groups()
    if not first_text:
        if not last_text:
            return None
        suffix = int(last_text)  # "bytes=-S": the last S bytes
        if suffix == 0 or size == 0:
            return UNSATISFIABLE
        return (max(0, size - suffix), size - 1)
    first = int(first_text)
    last = int(last_text) if last_text else size - 1
    if last_text and last < first:
        return None
    if first >= size:
        return UNSATISFIABLE
    return (first, min(last, size - 1))


def content_range(first, last, size):
    return "bytes %d-%d/%d" % (first, last, size)
