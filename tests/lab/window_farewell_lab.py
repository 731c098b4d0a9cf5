"""The farewell datagram from the real program: a PC namespace with two interfaces on two
segments and no default route, a peer on each segment listening on the device port, and
the window closed by its "Exit" button or by the Escape key."""

import os
import subprocess
import tempfile
import time

import window_lab as lab

# A peer on one segment: prints "ready", then one line "<source> <length> <hex>" per
# datagram that reaches port 7005, until its time is up.
LISTENER = r"""
import select, socket, sys, time
out, seconds = sys.argv[1], float(sys.argv[2])
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
s.bind(("0.0.0.0", 7005))
with open(out, "w") as log:
    print("ready", file=log, flush=True)
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if select.select([s], [], [], 0.2)[0]:
            data, source = s.recvfrom(2048)
            print(source[0], len(data), data.hex(), file=log, flush=True)
"""

PC_ADDRESSES = {"eth0": "10.81.0.1", "eth1": "10.82.0.1"}
PEER_ADDRESSES = {"eth0": "10.81.0.2", "eth1": "10.82.0.2"}


class TwoSegments:
    """Namespaces <name>-pc (eth0 and eth1), <name>-a on eth0's segment, <name>-b on eth1's;
    the PC has no default route."""

    def __init__(self, workdir):
        self.name = "f" + lab.unique_suffix()
        self.workdir = workdir
        self.pc_namespace = self.name + "-pc"
        self.peers = {"eth0": self.name + "-a", "eth1": self.name + "-b"}
        self.listeners = []

    def namespaces(self):
        return [self.pc_namespace] + list(self.peers.values())

    def up(self):
        for namespace in self.namespaces():
            lab.run(["ip", "netns", "add", namespace])
            lab.run(["ip", "-n", namespace, "link", "set", "lo", "up"])
        for interface, peer in self.peers.items():
            lab.run(["ip", "-n", self.pc_namespace, "link", "add", interface, "type", "veth",
                     "peer", "name", "eth0", "netns", peer])
            for namespace, name, address in ((self.pc_namespace, interface,
                                              PC_ADDRESSES[interface]),
                                             (peer, "eth0", PEER_ADDRESSES[interface])):
                lab.run(["ip", "-n", namespace, "addr", "add", address + "/24", "dev", name])
                lab.run(["ip", "-n", namespace, "link", "set", name, "up"])
        return self

    def listen(self, seconds=120):
        """Starts a listener in each peer namespace; gives {interface: log path}."""
        logs = {}
        for interface, peer in self.peers.items():
            log = os.path.join(self.workdir, "farewell-%s.log" % interface)
            self.listeners.append(subprocess.Popen(
                ["ip", "netns", "exec", peer, "/usr/bin/python3", "-c", LISTENER, log,
                 str(seconds)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            logs[interface] = log
        for log in logs.values():
            lab.wait_until(lambda: os.path.exists(log) and open(log).readline() == "ready\n",
                           10, what="the listener")
        return logs

    def down(self):
        for listener in self.listeners:
            lab.end_process(listener)
        for namespace in self.namespaces():
            lab.run(["ip", "netns", "del", namespace], timeout=30, check=False)


def received(log):
    with open(log) as lines:
        return [line.split() for line in lines if line != "ready\n"]


class FarewellTest(lab.WindowLabCase):

    def test_closing_the_window_says_farewell_on_every_interface(self):
        expected_payload = (b"destroyee" + ("LI=%s\n" % PC_ADDRESSES["eth0"]).encode()).ljust(
            300, b"\0").hex()
        cases = [
            # name, how the operator closes the window, datagrams per interface
            ("Exit button", lambda window: window.press("Exit"), 2),
            ("Escape key", lambda window: window.key("Escape"), 1),
        ]
        for name, close, count in cases:
            with self.subTest(name):
                segments = TwoSegments(tempfile.mkdtemp(dir=self.scratch))
                self.resources.callback(segments.down)
                segments.up()
                window = self.start_window(segments.pc_namespace)
                logs = segments.listen()

                close(window)

                self.assertEqual(window.wait_exit(), 0)
                for interface, log in logs.items():
                    lab.wait_until(lambda: len(received(log)) >= count, 10,
                                   what="%d datagrams on %s" % (count, interface))
                time.sleep(1)  # anything more would show up by now
                for interface, log in logs.items():
                    self.assertEqual(received(log),
                                     [[PC_ADDRESSES[interface], "300", expected_payload]] * count,
                                     interface)
                self.release_resources()


if __name__ == "__main__":
    lab.main()
