"""The web console in headless Chromium against a demo device on a free
port: a wrong password is refused, the demo password logs in, "/8008" and
"/6100" answer on the page, a screenshot is kept in the build folder."""
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support import expected_conditions as shown
from selenium.webdriver.support.ui import WebDriverWait

TOP = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(TOP, "build", "browser")


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_device(port, run_dir):
    env = dict(os.environ, PORT=str(port), RUN_DIR=run_dir)
    device = subprocess.Popen(["sh", os.path.join(TOP, "deploy", "run.sh")], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT, start_new_session=True)
    for _ in range(200):
        try:
            urllib.request.urlopen("http://127.0.0.1:%d/" % port, timeout=1)
            return device
        except OSError:
            time.sleep(0.1)
    stop_device(device)
    raise RuntimeError("the demo device did not start")


def stop_device(device):
    os.killpg(device.pid, signal.SIGTERM)
    device.wait(timeout=20)


def browser(run_dir):
    # The browser's profile and its lock folder (made in TMPDIR) live in the
    # run folder, so nothing of the run is left in /tmp.
    os.environ["TMPDIR"] = run_dir
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--window-size=1280,800",
                 "--user-data-dir=" + os.path.join(run_dir, "profile")):
        options.add_argument(flag)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def log_in(driver, password):
    field = driver.find_element(By.ID, "password")
    field.clear()
    field.send_keys(password)
    driver.find_element(By.ID, "login").click()


def send(driver, wait, path, expected):
    search = driver.find_element(By.ID, "filter")
    search.clear()
    search.send_keys(path)
    wait.until(shown.element_to_be_clickable((By.CSS_SELECTOR, '#catalogue a[data-path="%s"]' % path))).click()
    driver.find_element(By.ID, "send").click()
    wait.until(shown.text_to_be_present_in_element((By.ID, "answer-body"), expected))
    return driver.find_element(By.ID, "answer-head").text


def main():
    os.makedirs(OUT, exist_ok=True)
    port = free_port()
    with tempfile.TemporaryDirectory() as run_dir:
        device = start_device(port, run_dir)
        driver = browser(run_dir)
        try:
            wait = WebDriverWait(driver, 20)
            driver.get("http://127.0.0.1:%d/" % port)
            log_in(driver, "not the password")
            wait.until(shown.text_to_be_present_in_element((By.ID, "login-result"), "Login refused (type -1)"))
            assert not driver.find_element(By.ID, "console-view").is_displayed()

            log_in(driver, "demo1234")
            wait.until(shown.visibility_of_element_located((By.ID, "console-view")))
            assert "logged in as admin" in driver.find_element(By.ID, "who").text

            head = send(driver, wait, "/8008", '"total"')
            assert head.startswith("HTTP 200"), head
            head = send(driver, wait, "/6100", '"HDD"')
            assert head.startswith("HTTP 200"), head
            assert "storage" == driver.find_element(By.ID, "res-right").text
            driver.execute_script(
                "const f = document.getElementById('filter'); f.value = ''; f.dispatchEvent(new Event('input'));")
            driver.save_screenshot(os.path.join(OUT, "console.png"))

            # The same page without the session's cookie is refused as such.
            driver.delete_cookie("sessionId")
            head = send(driver, wait, "/8008", "CGI ERROR")
            assert head.startswith("HTTP 401"), head
        finally:
            driver.quit()
            stop_device(device)
    print("console: refusal, login, /8008 and /6100 shown; screenshot in %s" % OUT)


if __name__ == "__main__":
    main()
