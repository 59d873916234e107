#!/usr/bin/env python3
# Lends a headless wlroots compositor's seat a pointer (a virtual pointer), so that the
# compositor's own cursor commands click its clients. Prints "ready", then keeps it until
# stopped. Speaks the Wayland wire protocol itself: nothing to build or install.
import os, socket, struct, sys  # noqa: E401

MANAGER = b"zwlr_virtual_pointer_manager_v1\0"
sock = socket.socket(socket.AF_UNIX)
sock.connect(os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ["WAYLAND_DISPLAY"]))
names = []


u32 = lambda *words: struct.pack(f"={len(words)}I", *words)  # noqa: E731
send = lambda obj, opcode, body: sock.sendall(u32(obj, (8 + len(body)) << 16 | opcode) + body)  # noqa: E731


# Reads events until the sync callback `done` fires, noting the manager's global name.
def until(done):
    data = b""
    while True:
        data += sock.recv(65536) or sys.exit("wl_pointer: the compositor hung up")
        while len(data) >= 8 and len(data) >= struct.unpack_from("=I", data, 4)[0] >> 16:
            obj, word = struct.unpack_from("=II", data)
            body, data = data[8 : word >> 16], data[word >> 16 :]
            obj == 1 and word & 0xFFFF == 0 and sys.exit("wl_pointer: protocol error")
            if obj == 2 and body[8 : 8 + len(MANAGER)] == MANAGER:
                names.append(struct.unpack_from("=I", body)[0])
            if obj == done:
                return


send(1, 1, u32(2))  # the registry as object 2
send(1, 0, u32(3))  # sync: callback 3 fires after the last global
until(3)
names or sys.exit("wl_pointer: the compositor offers no virtual pointers")
send(2, 0, u32(names[0], len(MANAGER)) + MANAGER + bytes(-len(MANAGER) % 4) + u32(1, 4))  # as 4
send(4, 0, u32(0, 5))  # a pointer on the default seat as 5
send(1, 0, u32(6))
until(6)
print("ready", flush=True)
until(0)
