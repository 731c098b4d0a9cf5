"""Discovery through the real window: "IP Find" on a simulated segment and the device list
as the operator sees it, including answers that are not for this PC, answers too large
for the receive buffer, and a burst of a thousand devices."""

import sys
import time

import window_lab as lab

PC_ADDRESS = "10.77.0.1"
PLAIN_CAMERA = "ip=10.77.1.20 mac=00:1A:2B:3C:4D:20 id=admin password=1234 gateway=10.77.0.254"


class DiscoveryTest(lab.WindowLabCase):

    def test_lists_every_camera_with_its_fields(self):
        segment = self.start_lab()
        window = self.start_window(segment.pc_namespace)
        self.assertEqual(window.rows(), [])

        rows = self.find_devices(window, 3)

        self.assertEqual(window.column_headers(), [
            "IP Address", "MAC Address", " Gateway", " Subnet Mask", "Bootproto", "ID", "WebPort"
        ])
        self.assertCountEqual(rows, [
            ["10.77.1.10", "00:1A:2B:3C:4D:01", "10.77.0.254", "255.255.0.0", "static", "admin", "80"],
            ["10.77.1.11", "00:1A:2B:3C:4D:02", "10.77.0.254", "255.255.0.0", "dhcp", "admin", "8080"],
            ["10.77.1.12", "00:1A:2B:3C:4D:03", "10.77.0.254", "255.255.0.0", "static", "root", "one"],
        ])
        self.assertTrue(window.state("IP Find", "push button")["enabled"])
        window.assert_no_message()
        # One request, broadcast with this PC's own address for the devices to echo.
        requests = segment.requests("cryptomac")
        self.assertEqual(len(requests), 1)
        self.assertEqual(requests[0][2].split(":")[0], PC_ADDRESS)
        self.assertIn("len=300", requests[0])
        self.assertTrue(requests[0][-1].startswith(
            "hex=" + ("cryptomac" + "LI=%s\n" % PC_ADDRESS).encode().hex()))

    def test_answer_echoing_another_pc_is_refused(self):
        segment = self.start_lab(device_lines=[
            PLAIN_CAMERA,
            "ip=10.77.1.21 mac=00:1A:2B:3C:4D:21 foreign-echo",
        ])
        window = self.start_window(segment.pc_namespace)
        window.press("IP Find")

        self.assertEqual(window.wait_message(timeout=lab.FIRST_ANNOUNCEMENT_WAIT),
                         "It's not a Brocasting return Socket.. ")
        rows = window.wait_rows(1)
        self.assertEqual([row[1] for row in rows], ["00:1A:2B:3C:4D:20"])
        # The refusal lets the operator go on with "IP Change".
        self.assertTrue(window.state("IP Change", "push button")["enabled"])

    def test_oversize_answer_is_reported_and_the_next_find_works(self):
        # The oversize answer comes later, so the plain camera is listed first.
        segment = self.start_lab(device_lines=[
            PLAIN_CAMERA,
            "ip=10.77.1.22 mac=00:1A:2B:3C:4D:22 oversize delay=1500",
        ])
        window = self.start_window(segment.pc_namespace)
        too_large = ["Socket error when receiving packets.. restart broadcasting~!",
                     "The datagram was too large and was truncated"]

        for attempt in range(2):
            # After the failure the operator is let to start again; the list is emptied and
            # the camera comes back with its new answer.
            lab.wait_until(lambda: window.state("IP Find", "push button")["enabled"], 5,
                           what='"IP Find" enabled')
            window.press("IP Find")
            window.wait_rows(1)
            self.assertEqual([window.wait_message(timeout=15) for _ in too_large], too_large,
                             "attempt %d" % attempt)
            self.assertEqual([row[1] for row in window.rows()], ["00:1A:2B:3C:4D:20"])

        # The failed receive closed the channel: the second request left from a new socket.
        sources = [words[2] for words in segment.requests("cryptomac")]
        self.assertEqual(len(sources), 2)
        self.assertNotEqual(sources[0], sources[1])

    def test_burst_of_a_thousand_devices_gives_a_thousand_rows(self):
        segment = self.start_lab("--generate", "1000", devices="")
        window = self.start_window(segment.pc_namespace)

        started = time.monotonic()
        window.press("IP Find")
        lab.wait_until(lambda: window.row_count() >= 1000, 180, interval=0.5,
                       what="1000 rows")
        elapsed = time.monotonic() - started
        print("\n1000 rows %.1f s after IP Find" % elapsed, file=sys.stderr)

        rows = window.rows()
        self.assertEqual(len(rows), 1000)
        self.assertEqual(len({row[1] for row in rows}), 1000)
        self.assertIn(["10.77.1.1", "02:CA:00:00:00:01", "10.77.0.254", "255.255.0.0", "static",
                       "admin", "80"], rows)
        window.assert_no_message()


if __name__ == "__main__":
    lab.main()
