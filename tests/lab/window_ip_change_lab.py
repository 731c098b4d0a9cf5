"""The main use through the real window: find the cameras, double-click one, type its
password, give it a new address and press "IP Change". The simulated camera really moves
its address (lab.sh --move-address) and is listed again with it. Also the refusals: a wrong
password, an address another host already answers on, and the switch to DHCP."""

import window_lab as lab

STATIC_CAMERA = "00:1A:2B:3C:4D:01"  # 10.77.1.10, password 1234 (demo-devices.txt)
FREE_ADDRESS = "10.77.1.77"
OCCUPIED_ADDRESS = "10.77.0.50"


class IpChangeTest(lab.WindowLabCase):

    def open_camera(self, *lab_options):
        """A lab of the demo cameras, the window, the cameras found, the static one chosen."""
        segment = self.start_lab(*lab_options)
        window = self.start_window(segment.pc_namespace)
        self.find_devices(window, 3)
        window.select_device(STATIC_CAMERA)
        self.assertEqual(window.address("IP Address"), "10.77.1.10")
        self.assertTrue(window.state("IP Change", "push button")["enabled"])
        return segment, window

    def test_camera_moves_to_the_new_address_and_is_listed_with_it(self):
        segment, window = self.open_camera()
        window.type_into("Password", "1234", role="password text")
        window.type_address("IP Address", FREE_ADDRESS)
        self.assertEqual(window.address("IP Address"), FREE_ADDRESS)

        window.press("IP Change")

        self.assertEqual(window.wait_message(timeout=lab.PROBE_WAIT), "Camera changed IP Address")
        self.assertEqual(window.status(), "Server changed network configuration")
        rows = window.wait_rows(3)
        moved = [row for row in rows if row[1] == STATIC_CAMERA]
        self.assertEqual(moved, [[FREE_ADDRESS, STATIC_CAMERA, "10.77.0.254", "255.255.0.0",
                                  "static", "admin", "80"]])
        addresses = segment.device_addresses()
        self.assertIn(FREE_ADDRESS, addresses)
        self.assertNotIn("10.77.1.10", addresses)
        # The form is emptied for the next device.
        self.assertEqual(window.address("IP Address"), "0.0.0.0")
        sent = segment.requests("ipaddrset")
        self.assertEqual(len(sent), 1)
        self.assertIn(("address %s\ngateway 10.77.0.254\nnetmask 255.255.0.0\nLI=10.77.0.1\n" %
                       FREE_ADDRESS).encode().hex(), sent[0][-1])

    def test_refusals_leave_the_camera_where_it_was(self):
        cases = [
            # name, lab options, password, new address, box, status
            ("wrong password", [], "4321", FREE_ADDRESS,
             "잘못된 암호 입니다.  확인 후 재 접속 하십시요~!", "Password Incorrect~!"),
            ("address in use", ["--host-addr", OCCUPIED_ADDRESS + "/16"], "1234",
             OCCUPIED_ADDRESS, "Input address is occupied Please check it again. ~!",
             "Input address is occupied Please check it again. ~!"),
        ]
        for name, options, password, address, box, status in cases:
            with self.subTest(name):
                segment, window = self.open_camera(*options)
                window.type_into("Password", password, role="password text")
                window.type_address("IP Address", address)

                window.press("IP Change")

                self.assertEqual(window.wait_message(timeout=lab.PROBE_WAIT), box)
                self.assertEqual(window.status(), status)
                self.assertEqual(segment.requests("ipaddrset"), [])
                self.assertIn("10.77.1.10", segment.device_addresses())
                # The operator may try again at once.
                self.assertTrue(window.state("IP Change", "push button")["enabled"])
                self.release_resources()

    def test_dynamic_mode_switches_the_camera_to_dhcp(self):
        segment, window = self.open_camera()
        window.type_into("Password", "1234", role="password text")
        window.click("Dynamic IP Address")
        lab.wait_until(lambda: not window.state("IP Address 1")["enabled"], 5,
                       what="the address fields disabled")

        window.press("IP Change")

        self.assertEqual(window.wait_message(timeout=lab.PROBE_WAIT), "Server changed Dynamic set")
        self.assertEqual(window.status(), "Camera changed Dynamic")
        self.assertEqual(len(segment.requests("dynamcset")), 1)
        self.assertEqual(segment.requests("ipaddrset"), [])
        rows = window.wait_rows(3)
        self.assertEqual([row[4] for row in rows if row[1] == STATIC_CAMERA], ["dhcp"])


if __name__ == "__main__":
    lab.main()
