"""End-to-end tests of the page in headless chromium, opened from file://: a dialogue session,
a workbench round trip, a crack and a download, each checked against the native program.

Usage: page_test.py SITE_DIR NATIVE_PROGRAM PROSE_FILE"""

import functools
import http.server
import subprocess
import sys
import tempfile
import threading
import time
import unittest
from pathlib import Path

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

from browser import close_browser, open_browser

SITE, NATIVE, PROSE = (Path(argument) for argument in sys.argv[1:4])
# Where the dialogue waits for a line.
PROMPTS = (b"?: ", b"Enter some text to be encrypted (max 800 chars):\n", b"Key(with no spaces): ")


def native(arguments, data: bytes) -> bytes:
    return subprocess.run([str(NATIVE), *arguments], input=data, capture_output=True,
                          check=False).stdout


def transcript(answers) -> str:
    """The native dialogue's output with each answer echoed after the prompt it answered."""
    output = native([], b"".join(answer.encode() + b"\n" for answer in answers))
    screen, rest = b"", output
    for answer in answers:
        cut = min((rest.find(prompt) + len(prompt) for prompt in PROMPTS if prompt in rest))
        screen += rest[:cut] + answer.encode() + b"\n"
        rest = rest[cut:]
    return (screen + rest).decode()


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.downloads = tempfile.mkdtemp(prefix="ciphers-downloads-")
        cls.driver = open_browser(cls.downloads)

    @classmethod
    def tearDownClass(cls):
        close_browser(cls.driver)

    def setUp(self):
        self.driver.get((SITE / "index.html").as_uri())
        self.wait_for(lambda: self.screen().endswith("?: "))

    def tearDown(self):
        errors = [entry for entry in self.driver.get_log("browser") if entry["level"] == "SEVERE"]
        self.assertEqual(errors, [])

    def wait_for(self, condition, timeout=20):
        WebDriverWait(self.driver, timeout, poll_frequency=0.05).until(lambda _: condition())

    def value(self, element_id: str) -> str:
        return self.driver.execute_script(f"return document.getElementById('{element_id}').value")

    def screen(self) -> str:
        return self.driver.execute_script(
            "return document.getElementById('dialogue-screen').textContent")

    def set_value(self, element_id: str, value: str) -> None:
        """Puts the value into a field as typing would, and lets the page see it change."""
        self.driver.execute_script(
            "const e = document.getElementById(arguments[0]); e.value = arguments[1];"
            "e.dispatchEvent(new Event('input', {bubbles: true}));", element_id, value)

    def output_becomes(self, expected: str) -> None:
        self.wait_for(lambda: self.value("output") == expected)

    def test_dialogue_session_is_the_consoles(self):
        answers = ["x", "r", "Héllo wörld", "v", "attack at dawn", "lem0n", "LeMoN", "q"]
        field = self.driver.find_element(By.ID, "dialogue-input")
        for answer in answers:
            shown = len(self.screen())
            field.send_keys(answer + Keys.ENTER)
            self.wait_for(lambda: len(self.screen()) > shown + len(answer) + 1 or answer == "q")
        self.wait_for(lambda: not field.is_enabled())
        self.assertEqual(self.screen(), transcript(answers))
        # Start again, once the session has ended and once in the middle of one: a fresh menu.
        menu = transcript([])[:transcript([]).index("?: ") + 3]
        for typed in ["", "r"]:
            if typed:
                field.send_keys(typed + Keys.ENTER)
                self.wait_for(lambda: self.screen().endswith("(max 800 chars):\n"))
            self.driver.find_element(By.ID, "dialogue-restart").click()
            self.wait_for(lambda: self.screen() == menu and field.is_enabled())

    def test_workbench_agrees_with_the_filters_both_ways(self):
        text = "Attack at dawn, ça va?\nline two\n"
        runs = [("rot13", "", "", ["rot13"]),
                ("vigenere", "Lemon", "", ["vigenere", "-k", "Lemon"]),
                ("personal", "", "4242", ["personal", "--seed", "4242"])]
        for method, key, seed, arguments in runs:
            with self.subTest(method=method):
                self.driver.execute_script(
                    "document.getElementById('method').value = arguments[0];", method)
                self.set_value("key", key)
                self.set_value("seed", seed)
                self.driver.execute_script("document.getElementById('decrypt').checked = false;")
                self.set_value("input", text)
                ciphertext = native(arguments, text.encode()).decode()
                self.output_becomes(ciphertext)
                self.driver.find_element(By.ID, "decrypt").click()
                self.set_value("input", ciphertext)
                decrypted = native([*arguments, "-d"], ciphertext.encode()).decode()
                self.output_becomes(decrypted)
                self.assertEqual(decrypted, text.encode().upper().decode() if method == "vigenere" else text)
        self.set_value("input", "12\n12x\n")
        self.wait_for(lambda: self.driver.find_element(By.ID, "error").text
                      == "-:2: not a digit string of the personal method")
        self.driver.execute_script("document.getElementById('method').value = 'vigenere';")
        self.set_value("key", "ab1")
        self.wait_for(lambda: self.driver.find_element(By.ID, "error").text
                      == "the key 'ab1' holds a character other than the letters A-Z and a-z")

    def test_crack_finds_the_key_and_draws_how(self):
        ciphertext = native(["vigenere", "-k", "Persuasion"], PROSE.read_bytes()[:6000]).decode()
        self.set_value("input", ciphertext)
        self.driver.find_element(By.ID, "crack").click()
        self.wait_for(lambda: self.value("key") == "PERSUASION")
        self.assertTrue(self.driver.find_element(By.ID, "decrypt").is_selected())
        self.output_becomes(native(["vigenere", "-k", "PERSUASION", "-d"], ciphertext.encode()).decode())
        self.assertTrue(self.driver.find_elements(By.CSS_SELECTOR, "#analysis svg"))

    def test_a_file_downloads_byte_exact(self):
        data = bytes(range(256)) * 40 + b"CR LF\r\nand no line end"
        source = Path(self.downloads) / "source.bin"
        source.write_bytes(data)
        self.driver.execute_script("document.getElementById('method').value = 'rot13';")
        self.driver.find_element(By.ID, "file").send_keys(str(source))
        self.wait_for(lambda: self.value("output") != "")
        self.driver.find_element(By.ID, "download").click()
        saved = Path(self.downloads) / "rot13.txt"
        self.wait_for(lambda: saved.exists() and saved.stat().st_size == len(data))
        time.sleep(0.2)
        self.assertEqual(saved.read_bytes(), native(["rot13"], data))

    def test_served_once_it_works_offline(self):
        handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=str(SITE))
        handler.log_message = lambda *arguments: None
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            self.driver.get(f"http://127.0.0.1:{server.server_port}/index.html")
            self.driver.set_script_timeout(20)
            self.driver.execute_async_script(
                "navigator.serviceWorker.ready.then(() => arguments[0]())")
        finally:
            server.shutdown()
            server.server_close()
        self.driver.refresh()
        self.wait_for(lambda: self.screen().endswith("?: "))
        self.driver.execute_script("document.getElementById('method').value = 'rot13';")
        self.set_value("input", "Hello")
        self.output_becomes("Uryyb")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
