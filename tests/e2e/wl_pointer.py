#!/usr/bin/env python3
"""Gives a headless Wayland compositor's seat a pointer (a wlroots virtual pointer), so
that the compositor's own cursor commands reach its clients. Prints "ready" once the
pointer exists and keeps it until stopped. Speaks the wire protocol itself: nothing to
build or install."""
import os
import socket
import struct
import sys

MANAGER = "zwlr_virtual_pointer_manager_v1"


def message(obj, opcode, payload=b""):
    return struct.pack("=II", obj, (8 + len(payload)) << 16 | opcode) + payload


def string(text):
    data = text.encode() + b"\0"
    return struct.pack("=I", len(data)) + data + b"\0" * (-len(data) % 4)


def events(sock):
    buffer = b""
    while True:
        while len(buffer) >= 8:
            obj, word = struct.unpack_from("=II", buffer)
            if len(buffer) < word >> 16:
                break
            yield obj, word & 0xFFFF, buffer[8 : word >> 16]
            buffer = buffer[word >> 16 :]
        data = sock.recv(65536)
        if not data:
            sys.exit("wl_pointer: the compositor closed the connection")
        buffer += data


display = os.environ.get("WAYLAND_DISPLAY", "wayland-0")
sock = socket.socket(socket.AF_UNIX)
sock.connect(os.path.join(os.environ["XDG_RUNTIME_DIR"], display))
stream = events(sock)
# get_registry as object 2, then a sync (callback 3) that ends the list of globals.
sock.sendall(message(1, 1, struct.pack("=I", 2)) + message(1, 0, struct.pack("=I", 3)))
name = None
for obj, opcode, body in stream:
    if obj == 2 and opcode == 0:
        length = struct.unpack_from("=I", body, 4)[0]
        if body[8 : 8 + length - 1].decode() == MANAGER:
            name = struct.unpack_from("=I", body)[0]
    elif obj == 1 and opcode == 0 or obj == 3:
        break
if name is None:
    sys.exit("wl_pointer: the compositor offers no " + MANAGER)
# Bind the manager as 4, create the pointer (no seat: the default one) as 5, sync as 6.
sock.sendall(
    message(2, 0, struct.pack("=I", name) + string(MANAGER) + struct.pack("=II", 1, 4))
    + message(4, 0, struct.pack("=II", 0, 5))
    + message(1, 0, struct.pack("=I", 6))
)
for obj, opcode, body in stream:
    if obj == 1 and opcode == 0:
        sys.exit("wl_pointer: protocol error")
    if obj == 6:
        break
print("ready", flush=True)
for _ in stream:
    pass
