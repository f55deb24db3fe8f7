#!/usr/bin/python3
"""The phone page in a real headless Chromium at phone size: pairs by the link, books an
entry by tapping a category and typing an amount, sees it in today's list and what the
category's plan has left, takes another back with 撤销; vorelle-cli report then shows
exactly the one kept.

Usage: PhonePageTest.py VORELLE_CLI [SCREENSHOT.png]
"""
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.common.exceptions import WebDriverException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support import expected_conditions as ec
from selenium.webdriver.support.ui import WebDriverWait

cli = sys.argv[1]
screenshot = sys.argv[2] if len(sys.argv) > 2 else None
work = tempfile.mkdtemp(prefix="vorelle-phone-")
book = os.path.join(work, "家.book")
env = dict(os.environ, VORELLE_BOOK_PASSWORD="bk", VORELLE_PASSWORD="pw", XDG_DATA_HOME=work,
           XDG_CONFIG_HOME=work, HOME=work)


def run(*args):
    done = subprocess.run([cli, "--book", book, *args], env=env, capture_output=True, text=True, timeout=120)
    if done.returncode != 0:
        sys.exit(f"FAIL: vorelle-cli {' '.join(args)}: {done.stderr}")
    return done.stdout


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_port(port, server):
    for _ in range(600):
        if server.poll() is not None:
            sys.exit(f"FAIL: serve ended at once: {server.stderr.read()}")
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return
        except OSError:
            time.sleep(0.1)
    sys.exit("FAIL: serve did not listen within a minute")


def check(condition, message):
    if not condition:
        sys.exit("FAIL: " + message)


server = None
driver = None
try:
    run("create", "--admin", "妈妈")
    run("--user", "妈妈", "budget", "set", "饮食", "500")
    # A category whose name looks like markup, from an old file: the page must show it as text.
    markup = "<b>粗体</b>"
    with open(os.path.join(work, "old.csv"), "w", encoding="utf-8", newline="") as f:
        f.write(f"日期,分类,费用名称,金额,用户,类别,注释\r\n2020-01-05,{markup},旧账,-1,妈妈,月开销,\r\n")
    run("--user", "妈妈", "import", os.path.join(work, "old.csv"))
    port = free_port()
    link = run("--user", "妈妈", "token", "add", "--label", "妈妈的手机", "--listen", f"127.0.0.1:{port}").splitlines()[0]
    check(link.startswith(f"http://127.0.0.1:{port}/#k="), "the pairing link's first line: " + link)
    server = subprocess.Popen([cli, "--book", book, "serve", "--listen", f"127.0.0.1:{port}"], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    wait_for_port(port, server)

    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--window-size=360,640", "--lang=zh-CN", f"--user-data-dir={os.path.join(work, 'chromium')}"):
        options.add_argument(flag)
    try:
        driver = webdriver.Chrome(service=Service(shutil.which("chromedriver") or "/usr/bin/chromedriver"),
                                  options=options)
    except WebDriverException as error:
        sys.exit(f"FAIL: headless chromium did not start through chromedriver: {error.msg}")
    driver.set_window_size(360, 640)
    wait = WebDriverWait(driver, 30)

    def in_first_screen(element_id):
        """True when the element shows whole on the first screen, the page not scrolled."""
        return driver.execute_script(
            "const r = document.getElementById(arguments[0]).getBoundingClientRect();"
            "return r.height > 0 && r.top + window.scrollY >= 0 && r.bottom + window.scrollY <= window.innerHeight;",
            element_id)

    driver.get(link)
    wait.until(lambda d: d.find_elements(By.CSS_SELECTOR, "#categories .chip"))
    chips = [b.get_attribute("textContent") for b in driver.find_elements(By.CSS_SELECTOR, "#categories .chip")]
    check(markup in chips, "the category that looks like markup is not shown as typed: " + repr(chips))
    check(not driver.find_elements(By.CSS_SELECTOR, "#categories b"), "a category's name was taken as markup")
    check(in_first_screen("book"), "记一笔 is below the fold of a 360x640 phone")
    check("#k=" not in driver.current_url, "the key stays in the address bar: " + driver.current_url)
    check(driver.execute_script("return localStorage.getItem('vorelle-key')") == link.split("#k=")[1],
          "the page did not keep the key")

    def book_by_tapping(category, amount):
        driver.find_element(By.XPATH, f"//div[@id='categories']/button[text()='{category}']").click()
        field = driver.find_element(By.ID, "amount")
        field.clear()
        field.send_keys(amount)
        driver.find_element(By.ID, "book").click()
        wait.until(ec.text_to_be_present_in_element((By.ID, "done-text"), f"{category} -{amount}"))

    book_by_tapping("交通", "23.40")
    wait.until(ec.text_to_be_present_in_element((By.ID, "today"), "-23.40"))
    check("交通" in driver.find_element(By.ID, "today").text, "today's list lacks the entry")
    # The balance counts the old entry of 1.00 too.
    check(driver.find_element(By.ID, "balance").text == "-24.40", "the balance: " + driver.find_element(By.ID, "balance").text)
    check(driver.find_element(By.ID, "done-budget").text == "", "a notice for a category without a plan")

    # A wrong amount is named next to its field, and nothing is booked.
    driver.find_element(By.ID, "amount").send_keys("abc")
    driver.find_element(By.ID, "book").click()
    check(driver.find_element(By.ID, "err-amount").text != "", "no error next to the amount")
    driver.find_element(By.ID, "amount").clear()

    book_by_tapping("饮食", "12.50")
    wait.until(ec.text_to_be_present_in_element((By.ID, "today"), "-12.50"))
    # Under the booked message, what the plan of 500 a month has left, as the desktop says it.
    check(driver.find_element(By.ID, "done-budget").text == "饮食本月还剩 ¥487.50",
          "the budget notice: " + driver.find_element(By.ID, "done-budget").text)
    for shown in ("done-text", "done-budget", "book"):
        check(in_first_screen(shown), f"after booking, #{shown} is below the fold of a 360x640 phone: " + driver.execute_script(
            "const r = document.getElementById(arguments[0]).getBoundingClientRect();"
            "return (r.bottom + window.scrollY) + ' of ' + window.innerHeight;", shown))
    if screenshot:
        # The whole page at the phone's width, lists included.
        driver.set_window_size(360, driver.execute_script("return document.body.scrollHeight") + 40)
        driver.execute_script("window.scrollTo(0, 0)")
        driver.save_screenshot(screenshot)
        driver.set_window_size(360, 640)
    driver.find_element(By.ID, "undo").click()
    wait.until(ec.text_to_be_present_in_element((By.ID, "done-text"), "已撤销"))
    check(not driver.find_element(By.ID, "done-budget").is_displayed(), "the notice outlives its entry")
    wait.until(lambda d: "-12.50" not in d.find_element(By.ID, "today").text)
    check("-23.40" in driver.find_element(By.ID, "today").text, "the kept entry left today's list")

    driver.quit()
    driver = None
    server.send_signal(signal.SIGTERM)
    try:
        code = server.wait(timeout=5)
    except subprocess.TimeoutExpired:
        sys.exit("FAIL: serve did not end within 5 s of SIGTERM")
    check(code == 0, f"serve ended with {code}")
    server = None

    month = time.strftime("%Y-%m")
    report = run("--user", "妈妈", "report", "month", "--from", month, "--to", month, "--format", "csv")
    lines = {line.split(",")[0]: line.split(",")[1:] for line in report.splitlines()}
    check(lines.get("交通") == ["-23.4"], "the report's 交通: " + report)
    check(lines.get("饮食", ["0"]) == ["0"], "the report's 饮食: " + report)
    print("PASS")
finally:
    if driver is not None:
        driver.quit()
    if server is not None:
        server.kill()
        server.wait()
    shutil.rmtree(work, ignore_errors=True)
