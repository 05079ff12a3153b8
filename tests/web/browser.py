"""Headless Debian chromium for the page's tests, driven by Selenium: a fresh profile, nothing
downloaded, and the browser's console kept so that a test can ask whether it logged errors."""

import shutil
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service


def open_browser(download_dir: str):
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    profile = tempfile.mkdtemp(prefix="ciphers-profile-")
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--disable-dev-shm-usage", f"--user-data-dir={profile}", "--window-size=1000,900"):
        options.add_argument(flag)
    options.add_experimental_option("prefs", {"download.default_directory": download_dir,
                                              "download.prompt_for_download": False})
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver") or "/usr/bin/chromedriver"),
                              options=options)
    driver.ciphers_profile = profile
    return driver


def close_browser(driver) -> None:
    driver.quit()
    shutil.rmtree(driver.ciphers_profile, ignore_errors=True)
