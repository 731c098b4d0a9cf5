"""Drives the real ardvix window end to end: a virtual X display with its own session bus
and accessibility bus, a simulated camera segment in network namespaces (scripts/lab.sh),
and ardvix running inside the segment's PC namespace. The window is read and operated
through AT-SPI (names, states, texts, table cells, button actions); a double click on a
list row and typed keys go through xdotool, since they need a real pointer and keyboard.

Everything that sends datagrams or pings stays inside the namespaces a test creates. Every
wait has a time limit, every process started here is ended by its own id, and every
namespace is removed at the end of the test.

Run a test file as: python3 <file> <ardvix> <camsim> [unittest names...]
It exits with 77 when the machine cannot run it (not root, no network namespaces, no X
server, no accessibility bus).
"""

import contextlib
import importlib.util
import os
import re
import secrets
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import warnings

SKIP_EXIT_CODE = 77
REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
LAB_SCRIPT = os.path.join(REPO, "scripts", "lab.sh")
DEMO_DEVICES = os.path.join(REPO, "tools", "camsim", "demo-devices.txt")
AT_SPI_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

# Set by main() from the command line.
ARDVIX = None
CAMSIM = None

# Texts the window shows.
READY_STATUS = "Broadcasting standby....."
MESSAGE_BOX_ROLE = "alert"

# The pause the window takes after the first announcement it accepts, plus slack for a
# loaded machine.
FIRST_ANNOUNCEMENT_WAIT = 20.0
# The address probe takes two 5 s pauses and two 1 s waits; generous on a loaded machine.
PROBE_WAIT = 40.0


def unique_suffix():
    return secrets.token_hex(3)


def run(command, timeout=30, check=True, **kwargs):
    """Runs a command to its end, bounded in time; gives its standard output."""
    done = subprocess.run(command, capture_output=True, text=True, timeout=timeout, **kwargs)
    if check and done.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (" ".join(command), done.returncode,
                                                   done.stderr.strip() or done.stdout.strip()))
    return done.stdout


def wait_until(condition, timeout, interval=0.1, what="condition"):
    """Polls condition() until it gives a true value; fails the test after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)


def end_process(process, grace=5.0, group=False):
    """Ends a process this harness started, by its id (and its group when it leads one)."""
    if process is None or process.poll() is not None:
        return
    send = (lambda sig: os.killpg(process.pid, sig)) if group else process.send_signal
    try:
        send(signal.SIGTERM)
        process.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        send(signal.SIGKILL)
        process.wait(timeout=grace)
    except ProcessLookupError:
        pass


def missing_requirement():
    """The reason this machine cannot run the window lab tests, or None."""
    if os.geteuid() != 0:
        return "needs root for network namespaces"
    for tool in ("ip", "Xvfb", "dbus-daemon", "xdotool"):
        if shutil.which(tool) is None:
            return "%s is not installed (scripts/setup.sh)" % tool
    if not os.path.exists(AT_SPI_LAUNCHER):
        return "the accessibility bus (at-spi2-core) is not installed"
    # Only looked up: importing would bind the library to a bus before ours exists.
    if importlib.util.find_spec("pyatspi") is None:
        return "python3-pyatspi is not installed"
    probe = "ardvixprobe" + unique_suffix()
    try:
        run(["ip", "netns", "add", probe], timeout=10)
    except (RuntimeError, subprocess.TimeoutExpired) as failure:
        return "network namespaces unavailable: %s" % failure
    run(["ip", "netns", "del", probe], timeout=10, check=False)
    return None


class VirtualDesktop:
    """Xvfb and a session bus reachable through filesystem sockets, so that a program in
    another network namespace (where abstract sockets are not shared) can use them."""

    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="ardvix-desktop-")
        self.xvfb = None
        self.bus = None
        self.display = None
        self.env = {}

    def start(self):
        # A random display number of our own, away from the usual :0 and :99 that other
        # X servers on the machine take; a taken number makes Xvfb end, and the next is tried.
        for _ in range(10):
            number = str(secrets.randbelow(800) + 200)
            if os.path.exists("/tmp/.X11-unix/X" + number) or \
                    os.path.exists("/tmp/.X%s-lock" % number):
                continue
            if self._start_xvfb(number):
                break
        else:
            raise RuntimeError("no free X display number for Xvfb")
        self.display = ":" + number
        wait_until(lambda: os.path.exists("/tmp/.X11-unix/X" + number), 10,
                   what="the X socket")

        runtime = os.path.join(self.dir, "runtime")
        os.mkdir(runtime, 0o700)
        bus_address = "unix:path=" + os.path.join(self.dir, "bus")
        self.env = {
            "DISPLAY": self.display,
            "DBUS_SESSION_BUS_ADDRESS": bus_address,
            # The accessibility bus launcher puts its socket here: a path, private to us.
            "XDG_RUNTIME_DIR": runtime,
        }
        env = dict(os.environ, **self.env)
        # The bus leads its own process group: the accessibility services it starts end
        # with it.
        self.bus = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--address=" + bus_address,
             "--print-address"],
            env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
        self._read_line(self.bus.stdout.fileno(), 20, "the session bus to start")
        os.environ.update(self.env)
        return self

    def _start_xvfb(self, number):
        read_end, write_end = os.pipe()
        with open(os.path.join(self.dir, "xvfb.log"), "a") as log:
            self.xvfb = subprocess.Popen(
                ["Xvfb", ":" + number, "-displayfd", str(write_end), "-nolisten", "tcp",
                 "-screen", "0", "1280x800x24"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=log)
        os.close(write_end)
        try:
            self._read_line(read_end, 20, "Xvfb to start")
            return True
        except RuntimeError:
            end_process(self.xvfb)
            return False
        finally:
            os.close(read_end)

    @staticmethod
    def _read_line(fd, timeout, what):
        text = b""
        deadline = time.monotonic() + timeout
        while not text.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                raise RuntimeError("timed out waiting for " + what)
            chunk = os.read(fd, 256)
            if not chunk:
                raise RuntimeError(what + ": the program ended")
            text += chunk
        return text.decode().strip()

    def log_tail(self):
        try:
            with open(os.path.join(self.dir, "xvfb.log")) as log:
                return log.read()[-1000:]
        except OSError:
            return ""

    def xdotool(self, *arguments):
        return run(["xdotool"] + list(arguments), timeout=15, env=dict(os.environ, **self.env))

    def screenshot(self, path):
        run(["import", "-window", "root", path], timeout=30, env=dict(os.environ, **self.env))

    def stop(self):
        end_process(self.bus, group=True)
        if self.bus is not None:
            self.bus.stdout.close()
        end_process(self.xvfb)
        shutil.rmtree(self.dir, ignore_errors=True)


class Lab:
    """A simulated camera segment (scripts/lab.sh) with a name of its own."""

    def __init__(self, *options, devices=DEMO_DEVICES, device_lines=None):
        self.name = "w" + unique_suffix()
        self.options = list(options)
        self.devices = devices
        self.device_lines = device_lines
        self.state = os.path.join(os.environ.get("ARDVIX_LAB_STATE", "/run/ardvix-lab"),
                                  self.name)
        self.pc_namespace = self.name + "-pc"
        self.cams_namespace = self.name + "-cams"

    def up(self, scratch_dir):
        devices = self.devices
        if self.device_lines is not None:
            devices = os.path.join(scratch_dir, "devices.txt")
            with open(devices, "w") as out:
                out.write("\n".join(self.device_lines) + "\n")
        run(["bash", LAB_SCRIPT, "up", self.name, "--devices", devices or "", "--camsim", CAMSIM,
             "--max-seconds", "600"] + self.options, timeout=120)
        return self

    def down(self):
        run(["bash", LAB_SCRIPT, "down", self.name], timeout=60, check=False)

    def log_lines(self, kind=None):
        """The camsim traffic log, as lists of words; only lines of `kind` when given."""
        try:
            with open(os.path.join(self.state, "camsim.log")) as log:
                lines = [line.split() for line in log]
        except FileNotFoundError:
            return []
        return [words for words in lines if len(words) > 2 and (kind is None or words[1] == kind)]

    def requests(self, command):
        return [w for w in self.log_lines("rx") if "cmd=" + command in w]

    def device_addresses(self):
        """The IPv4 addresses on the cameras' interface."""
        out = run(["ip", "-n", self.cams_namespace, "-4", "-o", "addr", "show", "dev", "eth0"])
        return set(re.findall(r"inet (\d+\.\d+\.\d+\.\d+)/", out))


class ArdvixWindow:
    """The ardvix program in a network namespace and its main window, seen through AT-SPI."""

    def __init__(self, desktop, namespace, workdir):
        self.desktop = desktop
        self.namespace = namespace
        self.workdir = workdir
        self.process = None
        self.app = None
        self.window = None
        self.output_path = os.path.join(workdir, "ardvix.out")

    def start(self, timeout=60):
        import pyatspi
        env = dict(os.environ, **self.desktop.env)
        env.update(QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        with open(self.output_path, "w") as output:
            # ip netns exec replaces itself with the program: the PID is ardvix's own.
            self.process = subprocess.Popen(
                ["ip", "netns", "exec", self.namespace, ARDVIX], cwd=self.workdir, env=env,
                stdout=output, stderr=subprocess.STDOUT)

        def find_application():
            self._check_running()
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                try:
                    if app is not None and app.get_process_id() == self.process.pid and \
                            app.childCount > 0:
                        return app
                except Exception:  # an application that is going away
                    continue
            return None

        self.app = wait_until(find_application, timeout, interval=0.2,
                              what="the ardvix window on the accessibility bus")
        self.window = wait_until(lambda: self._main_window(), timeout, what="the main window")
        wait_until(lambda: self.status() == READY_STATUS, timeout, what="the ready status")
        return self

    def _main_window(self):
        for i in range(self.app.childCount):
            child = self.app.getChildAtIndex(i)
            if child is not None and child.name == "Ardvix":
                return child
        return None

    def _check_running(self):
        if self.process.poll() is not None:
            with open(self.output_path) as out:
                output = out.read()[-2000:]
            raise AssertionError("ardvix ended (%d): %s\nX server log: %s" % (
                self.process.returncode, output, self.desktop.log_tail()))

    # --- Controls ---

    def control(self, name, role=None, root=None):
        import pyatspi
        found = pyatspi.findDescendant(
            root or self.window,
            lambda a: a is not None and a.name == name and (role is None or a.getRoleName() == role))
        if found is None:
            raise AssertionError("no control named %r (%s)" % (name, role or "any role"))
        return found

    def button(self, name):
        return self.control(name, "push button")

    def press(self, name, role="push button"):
        control = self.control(name, role)
        action = control.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if "Press" not in names:
            raise AssertionError("%r cannot be pressed now (actions %s)" % (name, names))
        action.doAction(names.index("Press"))

    def click(self, name, role=None):
        """A real pointer click in the middle of the control."""
        import pyatspi
        box = self.control(name, role).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.desktop.xdotool("mousemove", str(box.x + box.width // 2),
                             str(box.y + box.height // 2), "click", "1")

    def state(self, name, role=None):
        import pyatspi
        control = self.control(name, role)
        control.clear_cache()
        states = control.getState()
        return {"enabled": states.contains(pyatspi.STATE_ENABLED),
                "checked": states.contains(pyatspi.STATE_CHECKED),
                "showing": states.contains(pyatspi.STATE_SHOWING)}

    def text(self, name, role="text"):
        return self.control(name, role).queryText().getText(0, -1)

    def status(self):
        return self.text("ctl_1033")

    def address(self, field):
        """The text of an address field, e.g. "10.77.1.10"; blank parts stay blank."""
        return ".".join(self.text("%s %d" % (field, part)) for part in range(1, 5))

    def focus_window(self):
        self.desktop.xdotool("search", "--onlyvisible", "--limit", "1", "--name", "^Ardvix$",
                             "windowfocus",
                             "--sync")

    def type_into(self, name, text, role="text"):
        """Gives the control the keyboard focus, empties it and types the text as keys."""
        self.focus_window()
        self.control(name, role).queryComponent().grabFocus()
        time.sleep(0.2)
        self.desktop.xdotool("key", "--clearmodifiers", "ctrl+a", "BackSpace")
        if text:
            self.desktop.xdotool("type", "--delay", "40", text)

    def type_address(self, field, dotted):
        """Types a dotted address into an address field from its first part; the field moves
        on to the next part at each dot."""
        self.type_into("%s 1" % field, dotted)

    def key(self, keysym):
        self.focus_window()
        self.desktop.xdotool("key", keysym)

    # --- Device list ---

    def _table(self):
        table = self.control("ctl_1005", "table")
        table.clear_cache()
        return table.queryTable()

    def row_count(self):
        return self._table().nRows

    def rows(self):
        table = self._table()
        return [[table.getAccessibleAt(r, c).name for c in range(table.nColumns)]
                for r in range(table.nRows)]

    def column_headers(self):
        table = self._table()
        return [table.getColumnHeader(c).name for c in range(table.nColumns)]

    def wait_rows(self, count, timeout=FIRST_ANNOUNCEMENT_WAIT):
        wait_until(lambda: self.row_count() >= count, timeout, interval=0.2,
                   what="%d rows in the device list" % count)
        return self.rows()

    def double_click_row(self, row):
        import pyatspi
        cell = self._table().getAccessibleAt(row, 1)
        box = cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.desktop.xdotool("mousemove", str(box.x + box.width // 2),
                             str(box.y + box.height // 2), "click", "--repeat", "2", "--delay",
                             "80", "1")

    def select_device(self, mac, timeout=5):
        """Double-clicks the row of the device with this MAC address and waits until the
        form shows it."""
        macs = [row[1] for row in self.rows()]
        if mac not in macs:
            raise AssertionError("%s is not listed: %s" % (mac, macs))
        self.double_click_row(macs.index(mac))
        wait_until(lambda: self.text("Mac Address") == mac, timeout, what="the form to show " + mac)

    # --- Message boxes ---

    def message_boxes(self):
        from gi.repository import GLib
        boxes = []
        for i in range(self.app.childCount):
            # A box that is closing may vanish between listing and asking: it is gone.
            try:
                child = self.app.getChildAtIndex(i)
                if child is not None and child.getRoleName() == MESSAGE_BOX_ROLE:
                    boxes.append(child)
            except GLib.Error:
                continue
        return boxes

    def wait_message(self, timeout=10):
        """Waits for a message box; gives its text and closes it with its OK button."""
        box = wait_until(lambda: (self._check_running() or self.message_boxes() or [None])[0],
                         timeout, interval=0.2, what="a message box")
        import pyatspi
        label = pyatspi.findDescendant(box, lambda a: a is not None and a.getRoleName() == "label")
        text = label.name if label is not None else ""
        ok = self.control("OK", "push button", root=box)
        ok.queryAction().doAction(0)
        wait_until(lambda: box not in self.message_boxes(), 10, what="the box to close")
        return text

    def assert_no_message(self):
        boxes = self.message_boxes()
        if boxes:
            raise AssertionError("unexpected message box: %r" % [b.name for b in boxes])

    # --- End ---

    def wait_exit(self, timeout=15):
        return self.process.wait(timeout=timeout)

    def stop(self):
        end_process(self.process)


class WindowLabCase(unittest.TestCase):
    """A test with a scratch folder, a lab when it asks for one, and the ardvix window."""

    desktop = None

    @classmethod
    def setUpClass(cls):
        reason = missing_requirement()
        if reason:
            raise unittest.SkipTest(reason)
        if WindowLabCase.desktop is None:
            # One desktop per process: the accessibility library binds to its bus once.
            WindowLabCase.desktop = VirtualDesktop().start()

    def setUp(self):
        self.scratch = tempfile.mkdtemp(prefix="ardvix-lab-")
        self.addCleanup(shutil.rmtree, self.scratch, True)
        self.resources = contextlib.ExitStack()
        self.addCleanup(self.resources.close)

    def release_resources(self):
        """Ends the windows and takes down the labs started so far (for a table of cases
        in one test)."""
        self.resources.close()

    def start_lab(self, *options, **devices):
        segment = Lab(*options, **devices)
        self.resources.callback(segment.down)
        return segment.up(tempfile.mkdtemp(dir=self.scratch))

    def start_window(self, namespace):
        window = ArdvixWindow(WindowLabCase.desktop, namespace, tempfile.mkdtemp(dir=self.scratch))
        self.resources.callback(window.stop)
        return window.start()

    def find_devices(self, window, count):
        """Presses "IP Find" and waits for `count` rows; gives the rows."""
        window.press("IP Find")
        return window.wait_rows(count)


def main():
    global ARDVIX, CAMSIM
    if len(sys.argv) < 3:
        sys.exit("usage: %s <ardvix> <camsim> [unittest names...]" % sys.argv[0])
    ARDVIX, CAMSIM = (os.path.abspath(p) for p in sys.argv[1:3])
    for path in (ARDVIX, CAMSIM):
        if not os.access(path, os.X_OK):
            sys.exit("not a program: " + path)
    # The accessibility bindings warn about their own deprecated calls; not ours to fix.
    warnings.simplefilter("ignore", DeprecationWarning)
    warnings.simplefilter("ignore", ImportWarning)
    program = unittest.main(module="__main__", argv=[sys.argv[0]] + sys.argv[3:], exit=False,
                            verbosity=2, warnings="")
    if WindowLabCase.desktop is not None:
        WindowLabCase.desktop.stop()
    result = program.result
    # A class skipped as a whole counts one skip and no test run.
    if result.skipped and result.wasSuccessful() and result.testsRun <= len(result.skipped):
        for _, reason in result.skipped:
            print("skipped: " + reason, file=sys.stderr)
        sys.exit(SKIP_EXIT_CODE)
    sys.exit(0 if result.wasSuccessful() else 1)
