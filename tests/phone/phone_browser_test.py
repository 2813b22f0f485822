#!/usr/bin/python3
"""`mornaq phone` in a real browser: a person switches Mornaq on in the
Settings app, writes as a contact and sees the reply, adds a word-match rule
and sees it chosen, blacklists a contact and sees no reply, turns Mornaq off
from the home screen and sees the next message unanswered.

Usage: phone_browser_test.py MORNAQ SCREENSHOT [SCREENSHOT...]
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.common.exceptions import StaleElementReferenceException
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support import expected_conditions as EC
from selenium.webdriver.support.ui import WebDriverWait

ADDRESS_BOOK = (
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:ann-01\r\nN:Lee;Ann;;;\r\nFN:Ann Lee\r\n"
    "TEL:+44 7700 900101\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bob-02\r\nN:Roe;Bob;;;\r\nFN:Bob Roe\r\n"
    "TEL:+44 7700 900102\r\nEND:VCARD\r\n"
)
# The reply leaves 3 s after a message with "Delay in seconds" 0: screening
# and decision. A message with no reply is watched a little longer than that.
REPLY_WITHIN = 5
QUIET_FOR = 4.5


def chromium(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync",
                 "--window-size=1400,1000", f"--user-data-dir={profile}"):
        options.add_argument(flag)
    service = Service(shutil.which("chromedriver") or "/usr/bin/chromedriver")
    return webdriver.Chrome(service=service, options=options)


class Phone:
    def __init__(self, driver):
        self.driver = driver
        # The page draws the Settings app's page anew whenever the app prints
        # it: a control found a moment ago may be gone, found again next time.
        self.wait = WebDriverWait(driver, 10, ignored_exceptions=(StaleElementReferenceException,))

    def find(self, css):
        return self.wait.until(EC.element_to_be_clickable((By.CSS_SELECTOR, css)))

    def named(self, section, role_css, name):
        """The control in an app's section with that accessible name (its
        aria-label, or its text)."""
        def found(driver):
            for control in driver.find_elements(By.CSS_SELECTOR, f"#{section} {role_css}"):
                label = control.get_attribute("aria-label") or control.text
                if label.strip() == name and control.is_displayed() and control.is_enabled():
                    return control
            return False
        return self.wait.until(found, f"no {role_css} named {name!r} in {section}")

    @staticmethod
    def retrying(act):
        """Acts again on the control found afresh when the page drew it anew
        meanwhile, as it does whenever the app prints the page."""
        for _ in range(5):
            try:
                return act()
            except StaleElementReferenceException:
                time.sleep(0.1)
        raise AssertionError("the control kept changing under the pointer")

    def click(self, section, role_css, name):
        self.retrying(lambda: self.named(section, role_css, name).click())

    def answer_alert(self, section, button):
        self.click(section, "dialog button", button)
        self.wait.until(lambda d: not d.find_elements(By.CSS_SELECTOR, f"#{section} dialog"))

    def on_page(self, title):
        self.wait.until(EC.text_to_be_present_in_element((By.ID, "page-title"), title))

    def switch_on(self, label):
        def state():
            return self.named("settings", "[role=switch]", label).get_attribute("aria-checked")
        if self.retrying(state) != "true":
            self.click("settings", "[role=switch]", label)
        self.wait.until(lambda d: state() == "true")

    def settings_text(self, label, text):
        def type_in():
            name = self.driver.find_element(
                By.XPATH, f"//section[@id='settings']//label[normalize-space()='{label}']")
            field = self.driver.find_element(By.ID, name.get_attribute("for"))
            field.send_keys(Keys.CONTROL, "a")
            field.send_keys(text, Keys.TAB)  # written when editing ends
        self.retrying(type_in)
        self.wait.until(lambda d: d.find_element(By.XPATH, (
            f"//section[@id='settings']//label[normalize-space()='{label}']/following-sibling::input"))
            .get_attribute("value") == text)

    def choose_chat(self, contact):
        picker = self.find("#contact")
        for option in picker.find_elements(By.TAG_NAME, "option"):
            if option.text == contact:
                option.click()

    def write_as(self, contact, text):
        self.choose_chat(contact)
        message = self.find("#message")
        message.send_keys(text, Keys.ENTER)

    def replies(self):
        return [bubble.text for bubble in
                self.driver.find_elements(By.CSS_SELECTOR, "#conversation .bubble.out")]

    def expect_reply(self, text):
        before = len(self.replies())
        start = time.monotonic()
        WebDriverWait(self.driver, REPLY_WITHIN + 1).until(
            lambda d: len(self.replies()) > before, f"no reply to {text!r}")
        took = time.monotonic() - start
        assert took <= REPLY_WITHIN, f"the reply took {took:.1f} s"
        return self.replies()[-1]

    def expect_no_reply(self, because):
        before = len(self.replies())
        time.sleep(QUIET_FOR)
        assert len(self.replies()) == before, f"unexpected reply: {self.replies()[-1]!r}"
        verdict = self.last_verdict()
        assert verdict.startswith("No reply") and because in verdict, verdict

    def last_verdict(self):
        verdicts = self.driver.find_elements(By.CSS_SELECTOR, "#conversation .verdict-text")
        return verdicts[-1].text if verdicts else ""


def main(mornaq, screenshots):
    folder = tempfile.mkdtemp(prefix="mornaq-phone-browser-")
    root = os.path.join(folder, "root")
    os.mkdir(root)
    subprocess.run([mornaq, "install", "--root", root], check=True, stdout=subprocess.DEVNULL)
    with open(os.path.join(folder, "contacts.vcf"), "w") as vcf:
        vcf.write(ADDRESS_BOOK)
    subprocess.run([mornaq, "contacts", "import", "--root", root, os.path.join(folder, "contacts.vcf")],
                   check=True, stdout=subprocess.DEVNULL)
    server = subprocess.Popen([mornaq, "phone", "--root", root, "--port", "0"],
                              stdout=subprocess.PIPE, text=True)
    driver = None
    try:
        first = server.stdout.readline()
        url = re.fullmatch(r"Mornaq phone at (http://127\.0\.0\.1:\d+/)\n", first)
        assert url, f"first line: {first!r}"
        driver = chromium(os.path.join(folder, "profile"))
        driver.get(url.group(1))
        phone = Phone(driver)

        # The notices of a new installation, one in each app.
        phone.answer_alert("settings", "Ok")
        phone.answer_alert("springboard", "Ok")

        # Settings: Mornaq on, the global reply on at once, word matches first.
        phone.on_page("Mornaq")
        phone.switch_on("Enabled")
        phone.click("settings", "button", "Global Reply")
        phone.on_page("Global Reply")
        for label in ("Enabled", "Word matching first", "Reply when no word matches"):
            phone.switch_on(label)
        phone.settings_text("Reply", "Busy, :name:.")
        phone.settings_text("Delay in seconds", "0")

        phone.write_as("Ann Lee", "Hi")
        assert phone.expect_reply("Hi").endswith("Busy, Ann Lee."), phone.replies()
        assert phone.last_verdict().startswith("Replies after 3 s"), phone.last_verdict()

        # A word-match rule, added through the rule list's alert.
        phone.click("settings", "button", "Multiple Word Matching")
        phone.on_page("Multiple Word Matching")
        phone.click("settings", "button", "Add")
        fields = phone.wait.until(lambda d: d.find_elements(By.CSS_SELECTOR, "#settings dialog input"))
        for field, text in zip(fields, ("lunch", "Lunch at one works.", "0")):
            field.send_keys(text)
        phone.answer_alert("settings", "Add")
        phone.named("settings", "button", "lunch")
        phone.write_as("Ann Lee", "Lunch today?")
        assert phone.expect_reply("Lunch today?").endswith("Lunch at one works."), phone.replies()

        # Bob blacklisted: no reply.
        phone.click("settings", "button", "Back")
        phone.on_page("Global Reply")
        phone.click("settings", "button", "Back")
        phone.on_page("Mornaq")
        phone.click("settings", "button", "Blacklist")
        # Bob's row shows its state icon, loaded from the server, with its text.
        phone.wait.until(lambda d: d.execute_script(
            "const row = [...document.querySelectorAll('#rows .row')].find((r) => r.textContent.includes('Bob Roe'));"
            "const img = row && row.querySelector('img');"
            "return !!img && img.alt === 'neither' && img.complete && img.naturalWidth > 0;"))
        phone.click("settings", "button", "Bob Roe")
        phone.on_page("Bob Roe")
        switches = driver.find_elements(By.CSS_SELECTOR, "#settings [role=switch]")
        assert len(switches) == 1, "the blacklist page has one switch"
        phone.switch_on(switches[0].get_attribute("aria-label"))
        phone.write_as("Bob Roe", "Hi")
        phone.expect_no_reply(because="blacklist")

        # Mornaq off from the home screen: Ann is not answered either.
        phone.click("springboard", "button", "Mornaq OFF")
        phone.wait.until(lambda d: "ARSetState:-0" in d.find_element(
            By.CSS_SELECTOR, "#springboard [data-log]").get_attribute("textContent"))
        phone.write_as("Ann Lee", "Still there?")
        phone.expect_no_reply(because="switched off")

        # The picture: Ann's chat, the Settings app's first page.
        phone.choose_chat("Ann Lee")
        phone.click("settings", "button", "Back")
        phone.wait.until(lambda d: d.find_element(By.ID, "page-title").text != "Bob Roe")
        phone.click("settings", "button", "Back")
        phone.on_page("Mornaq")
        for path in screenshots:
            os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
            driver.save_screenshot(path)
    finally:
        if driver:
            driver.quit()
        server.send_signal(signal.SIGTERM)
        status = server.wait(timeout=15)
        shutil.rmtree(folder, ignore_errors=True)
    assert status == 0, f"mornaq phone ended with status {status}"
    print("ok")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
