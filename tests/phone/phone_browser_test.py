#!/usr/bin/python3
"""`mornaq phone` in a real browser: a person switches Mornaq on in the
Settings app, writes as a contact and sees the reply, writes the same text
twice and sees each message's own answer, adds a word-match rule and sees it
chosen, blacklists a contact and sees no reply, turns Mornaq off from the
home screen and sees the next message unanswered, and on again, which the
messaging app must be started again for; then rehearses a chat export of
Ann's with those settings.

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
from selenium.webdriver.support.ui import Select, WebDriverWait

ADDRESS_BOOK = (
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:ann-01\r\nN:Lee;Ann;;;\r\nFN:Ann Lee\r\n"
    "TEL:+44 7700 900101\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bob-02\r\nN:Roe;Bob;;;\r\nFN:Bob Roe\r\n"
    "TEL:+44 7700 900102\r\nEND:VCARD\r\n"
    # A UID with the suffix inside: its identifier cannot be rebuilt from its key.
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:cem:ABPerson:03\r\nN:Kaya;Cem;;;\r\n"
    "TEL:+44 7700 900103\r\nEND:VCARD\r\n"
)
# The link rows of the Settings app's Mornaq page, each found by its label.
MORNAQ_PAGE_LINKS = ("Global Reply", "Contacts", "Blacklist", "Reply Policy", "History",
                     "Activator", "Other packages")
# The reply leaves 3 s after a message with "Delay in seconds" 0: screening
# and decision. A message with no reply is watched a little longer than that.
REPLY_WITHIN = 5
QUIET_FOR = 4.5
# The global reply's delay while the same text is written twice: long enough
# to see the first reply's countdown run.
SAME_TEXT_DELAY = 2


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
        """The control in an app's section with that accessible name, as the
        browser computes it for a screen reader."""
        def found(driver):
            # Only controls whose label or text holds the name can have it:
            # asking the browser for each name is slow.
            for control in driver.execute_script(
                    "return [...document.querySelectorAll(arguments[0])].filter((control) =>"
                    " (control.getAttribute('aria-label') ?? [...(control.labels ?? [])].map((label) =>"
                    " label.textContent).join(' ') + control.textContent).includes(arguments[1]))",
                    f"#{section} {role_css}", name):
                if control.accessible_name == name and control.is_displayed() and control.is_enabled():
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

    def settings_choice(self, label, title):
        """Chooses title in the select named label; the app prints the page again with it."""
        shown = self.named("settings", "select", label)
        Select(shown).select_by_visible_text(title)
        self.wait.until(EC.staleness_of(shown), f"the page was not printed again after {title!r}")
        assert self.retrying(lambda: Select(self.named("settings", "select", label))
                             .first_selected_option.text) == title

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
        return self.driver.execute_script(
            "return [...document.querySelectorAll('#conversation .bubble.out')].map((bubble) => bubble.innerText)")

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

    def messages(self):
        return len(self.driver.find_elements(By.CSS_SELECTOR, "#conversation .verdict"))

    def outcome(self, index):
        """What the chat on screen shows under its index-th message: the
        verdict, and the countdown that ends in "— sent" ("" without one)."""
        return tuple(self.driver.execute_script(
            "const verdict = document.querySelectorAll('#conversation .verdict')[arguments[0]];"
            "return [verdict.querySelector('.verdict-text').innerText,"
            " verdict.querySelector('.countdown')?.innerText ?? '']", index))

    def write_received(self, text):
        """Writes in the chat on screen and waits until the messaging app has
        the message; gives its index in the chat."""
        index = self.messages()
        self.find("#message").send_keys(text, Keys.ENTER)
        self.wait.until(lambda d: self.messages() > index, f"{text!r} not received")
        return index

    def note_answers(self):
        """Notes in window.answersNoted, in the browser as the page draws
        them, the messages of the chat on screen, then each new one's index
        as its "Delivered; Mornaq is screening it" gives way."""
        self.driver.execute_script("""
            const conversation = document.getElementById('conversation');
            const noted = window.answersNoted = [...conversation.querySelectorAll('.verdict').keys()];
            new MutationObserver(() => conversation.querySelectorAll('.verdict-text').forEach((text, index) => {
              if (!text.textContent.startsWith('Delivered') && !noted.includes(index)) noted.push(index);
            })).observe(conversation, {subtree: true, childList: true, characterData: true});""")

    def expect_verdict(self, index, start):
        self.wait.until(lambda d: self.outcome(index)[0].startswith(start),
                        f"message {index} is not {start!r}")

    def expect_countdown_then_sent(self, index):
        shown = set()
        def sent(driver):
            countdown = self.outcome(index)[1]
            shown.add(countdown.split(",")[0])
            return countdown == "— sent"
        WebDriverWait(self.driver, REPLY_WITHIN + SAME_TEXT_DELAY + 1, poll_frequency=0.1).until(
            sent, f"message {index} was not sent")
        assert "— on its way" in shown, shown

    def home_screen_switch(self, on):
        self.click("springboard", "button", "Mornaq ON" if on else "Mornaq OFF")
        self.wait.until(EC.text_to_be_present_in_element(
            (By.ID, "master-switch"), "Mornaq is on" if on else "Mornaq is off"))


def same_text_twice(phone, between, after, answer):
    """Ann writes "Hi there", `between` makes the next message's answer known
    at once, she writes "Hi there" again: each message shows its own answer,
    the second's while the first is still being screened."""
    replies = len(phone.replies())
    phone.choose_chat("Ann Lee")
    phone.note_answers()
    first = phone.write_received("Hi there")
    between()
    second = phone.write_received("Hi there")
    phone.expect_verdict(second, answer)
    after()
    phone.expect_countdown_then_sent(first)
    noted = phone.driver.execute_script("return window.answersNoted")
    assert noted[first:] == [second, first], f"not the second's answer first (too slow to write?): {noted}"
    assert phone.outcome(first)[0].startswith(f"Replies after {3 + SAME_TEXT_DELAY} s"), phone.outcome(first)
    verdict, countdown = phone.outcome(second)
    assert verdict.startswith(answer) and countdown == "", phone.outcome(second)
    assert len(phone.replies()) == replies + 1, phone.replies()


# A chat with Ann as the phone exports it, named so that the owner is told.
ANN_EXPORT_NAME = "WhatsApp Chat with Ann Lee.txt"
ANN_EXPORT = (
    "[07/12/2026, 09:00:00] Ann Lee: \u200eMessages and calls are end-to-end encrypted.\n"
    "[07/12/2026, 09:00:00] Ann Lee: Lunch?\n"
    "[07/12/2026, 09:00:02] Tom: Let me see\n"
    "[07/12/2026, 09:05:00] Ann Lee: \u200eimage omitted\n"
)


def rehearse(phone, folder):
    """Rehearses Ann's export; gives the transcript's lines and the summary."""
    path = os.path.join(folder, ANN_EXPORT_NAME)
    with open(path, "w", encoding="utf-8") as export:
        export.write(ANN_EXPORT)
    phone.driver.find_element(By.ID, "export-file").send_keys(path)
    phone.click("rehearse", "button", "Rehearse")
    phone.wait.until(lambda d: d.find_element(By.ID, "rehearse-summary").text != "")
    lines = [item.text for item in phone.driver.find_elements(By.CSS_SELECTOR, "#transcript li")]
    return lines, phone.driver.find_element(By.ID, "rehearse-summary").text


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

        # The chats are the contacts under the identifiers the app lists.
        listed = subprocess.run([mornaq, "contacts", "--root", root], check=True,
                                stdout=subprocess.PIPE, text=True).stdout
        identifiers = {line.split("\t")[0] for line in listed.splitlines()}
        assert "cem:ABPerson:03:ABPerson" in identifiers, listed
        phone.wait.until(lambda d: identifiers <= {option.get_attribute("value") for option in
                                                    d.find_elements(By.CSS_SELECTOR, "#contact option")},
                        "the chats are not under the identifiers the app lists")

        # The notices of a new installation, one in each app.
        phone.answer_alert("settings", "Ok")
        phone.answer_alert("springboard", "Ok")

        # Settings: Mornaq on, the global reply on at once, word matches first.
        phone.on_page("Mornaq")
        for label in MORNAQ_PAGE_LINKS:
            phone.named("settings", "button.link", label)
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

        # Reply to: My contacts leaves a number not in the address book unanswered.
        phone.settings_choice("Reply to", "My contacts")
        phone.write_as("+44 7700 900999", "Hi")
        phone.expect_no_reply(because="only your contacts")
        phone.settings_choice("Reply to", "Everyone")
        phone.choose_chat("Ann Lee")

        # The same text twice, the second's answer known first: its chat muted,
        # or Mornaq switched off in between.
        phone.settings_text("Delay in seconds", str(SAME_TEXT_DELAY))
        muted = lambda: phone.find("#muted").click()
        same_text_twice(phone, between=muted, after=muted, answer="No reply: The chat is muted")
        same_text_twice(phone, between=lambda: phone.home_screen_switch(on=False),
                        after=lambda: phone.home_screen_switch(on=True),
                        answer="No reply: Mornaq was switched off")
        phone.settings_text("Delay in seconds", "0")

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
        phone.home_screen_switch(on=False)
        phone.write_as("Ann Lee", "Still there?")
        phone.expect_no_reply(because="switched off")

        # Started again while off, the messaging app cannot reply in this run;
        # with Mornaq on from the home screen, the page starts it once more
        # before the next message.
        phone.click("whatsapp", "button", "Restart the messaging app")
        phone.wait.until(lambda d: "the app exited" in d.find_element(
            By.CSS_SELECTOR, "#whatsapp [data-log]").get_attribute("textContent"))
        phone.expect_verdict(phone.write_received("Anyone there?"),
                             "No reply: Mornaq was switched off")
        phone.home_screen_switch(on=True)
        phone.write_as("Ann Lee", "Back on?")
        assert phone.expect_reply("Back on?").endswith("Busy, Ann Lee."), phone.replies()

        # Ann's export rehearsed with these settings: her rule answers the
        # first message, the photo gets nothing.
        lines, summary = rehearse(phone, folder)
        assert lines[1].startswith("Mornaq replies at 2026-12-07 09:00:03: Lunch at one works."), lines
        assert lines[2].startswith("You"), lines
        assert "It has no text" in lines[4], lines
        assert re.search(r"Received\s+2\s+Answered\s+1\s+Stopped\s+noText 1", summary), summary
        rehearsed = os.path.splitext(os.path.abspath(screenshots[0]))[0] + "-rehearse.png" \
            if screenshots else None
        if rehearsed:
            driver.execute_script("document.getElementById('rehearse').scrollIntoView()")
            assert driver.save_screenshot(rehearsed), rehearsed
        driver.execute_script("window.scrollTo(0, 0)")

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
