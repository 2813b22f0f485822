// The phone's page: what the person does goes to the apps as their input
// lines (POST /apps/APP/input), and everything the apps print comes back as
// server-sent events (/events), from which the page draws each app.
"use strict";

const $ = (selector, root = document) => root.querySelector(selector);
const appNames = ["whatsapp", "settings", "springboard"];
const sections = Object.fromEntries(appNames.map((name) => [name, document.getElementById(name)]));
const started = {}; // app → milliseconds since the epoch at which its clock started

function element(tag, props = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(props)) {
    if (name === "class") node.className = value;
    else if (name.startsWith("on")) node.addEventListener(name.slice(2), value);
    else if (name in node && !name.startsWith("aria") && name !== "role") node[name] = value;
    else node.setAttribute(name, value);
  }
  node.append(...children.filter((child) => child !== null && child !== undefined));
  return node;
}

// Lines to one app go out in order, one request at a time.
let sending = Promise.resolve();
function send(app, event) {
  sending = sending.then(() =>
    fetch(`/apps/${app}/input`, {
      method: "POST",
      headers: { "Content-Type": "application/json" },
      body: JSON.stringify(event),
    }).then(async (response) => {
      if (!response.ok) logLine(app, `refused: ${(await response.text()).trim()}`, true);
    }).catch((error) => logLine(app, `not sent: ${error}`, true)));
  return sending;
}

// ---- Logs -----------------------------------------------------------------

function logLine(app, text, error = false) {
  const log = $("[data-log]", sections[app]);
  const query = $("[data-log-search]", sections[app]).value.toLowerCase();
  const item = element("li", { class: error ? "error" : "" }, text);
  item.hidden = query !== "" && !text.toLowerCase().includes(query);
  log.append(item);
  while (log.children.length > 2000) log.firstChild.remove();
  log.scrollTop = log.scrollHeight;
}

for (const app of appNames) {
  const search = $("[data-log-search]", sections[app]);
  search.addEventListener("input", () => {
    const query = search.value.toLowerCase();
    for (const item of $("[data-log]", sections[app]).children) {
      item.hidden = query !== "" && !item.textContent.toLowerCase().includes(query);
    }
  });
}

const seconds = (t) => (typeof t === "number" ? `${t.toFixed(3)}s ` : "");

// ---- Alerts: each app's own, answered before the app goes on --------------

function showAlert(app, alert, answer) {
  const dialogs = $("[data-dialogs]", sections[app]);
  const id = `${app}-alert-${dialogs.children.length}-${Date.now()}`;
  const fields = (alert.fields || []).map((placeholder) =>
    element("input", { type: "text", placeholder, "aria-label": placeholder }));
  const buttons = alert.buttons.map((title) =>
    element("button", { type: "button", onclick: () => answer(title, fields.map((f) => f.value)) }, title));
  const dialog = element("dialog", { "aria-labelledby": `${id}-title`, "data-title": alert.title ?? "" },
    element("h3", { id: `${id}-title` }, alert.title ?? ""),
    alert.message ? element("p", {}, alert.message) : null,
    ...fields,
    element("div", { class: "buttons" }, ...buttons));
  dialog.addEventListener("cancel", (event) => event.preventDefault());
  dialogs.append(dialog);
  dialog.show();
  updateInert(app);
  (fields[0] || buttons[0])?.focus();
}

function dismissAlert(app, title) {
  for (const dialog of $("[data-dialogs]", sections[app]).children) {
    if (dialog.dataset.title === (title ?? "")) {
      dialog.remove();
      break;
    }
  }
  updateInert(app);
}

function clearAlerts(app) {
  $("[data-dialogs]", sections[app]).replaceChildren();
  updateInert(app);
}

function updateInert(app) {
  $("[data-screen]", sections[app]).inert = $("[data-dialogs]", sections[app]).children.length > 0;
}

// ---- App states ------------------------------------------------------------

function showState(app, event) {
  const state = $("[data-state]", sections[app]);
  if (event.state === "running") {
    started[app] = event.started;
    state.textContent = "running";
    state.className = "state running";
    clearAlerts(app);
    restarted[app]?.();
    return;
  }
  state.textContent = event.state === "crashed" ? `crashed (signal ${event.signal})` : `exited (status ${event.status})`;
  state.className = "state stopped";
  logLine(app, `the app ${state.textContent}; Restart starts it again`, true);
}

for (const app of appNames) {
  $("[data-restart]", sections[app]).addEventListener("click", () =>
    fetch(`/apps/${app}/restart`, { method: "POST" }));
}

// ---- Messaging app ---------------------------------------------------------

const chats = new Map(); // key → {key, contactIdentifier, displayName, button, items: [elements]}
let currentChat = null;
// The messages of the messaging app's run, under the app's number for them,
// which their why and their reply carry: {verdict, receivedAt, explained,
// countdown, until}.
const messages = new Map();
const conversation = $("#conversation");

const chatKey = (contactIdentifier, displayName) => contactIdentifier ?? displayName;

function addChat(contactIdentifier, displayName) {
  const key = chatKey(contactIdentifier, displayName);
  if (chats.has(key)) return chats.get(key);
  const chat = { key, contactIdentifier, displayName, items: [] };
  chats.set(key, chat);
  const button = element("button", { type: "button", onclick: () => selectChat(key) }, displayName);
  chat.button = button;
  $("#chats").append(element("li", {}, button));
  $("#contact").append(element("option", { value: key }, displayName));
  if (!currentChat) selectChat(key);
  return chat;
}

function selectChat(key) {
  currentChat = chats.get(key);
  for (const chat of chats.values()) chat.button.setAttribute("aria-current", String(chat === currentChat));
  $("#contact").value = key;
  conversation.replaceChildren(...currentChat.items);
  conversation.scrollTop = conversation.scrollHeight;
}
$("#contact").addEventListener("change", (event) => selectChat(event.target.value));

function addToChat(chat, item) {
  chat.items.push(item);
  if (chat === currentChat) {
    conversation.append(item);
    conversation.scrollTop = conversation.scrollHeight;
  }
}

// The master switch as the apps tell it in their events: the messaging app
// reads it as it starts, which decides whether it can reply in that run, and
// again for each message; the home screen stores it on a gesture; the
// Settings app shows it in its page. A switch gone on since the messaging app
// started needs the app started again, as on the phone, before the next
// message can be answered.
const masterSwitch = { now: null, atWhatsAppStart: null };

function switchIs(on) {
  masterSwitch.now = on;
  $("#master-switch").textContent = on ? "Mornaq is on" : "Mornaq is off";
}

// The messaging app's first read after it started is the switch of its run.
function switchRead(on) {
  masterSwitch.atWhatsAppStart ??= on;
  switchIs(on);
}

function restartWhatsAppIfSwitchedOn() {
  if (!(masterSwitch.now === true && masterSwitch.atWhatsAppStart === false)) return;
  masterSwitch.atWhatsAppStart = true; // restarted once; the new run's first read says anew
  logLine("whatsapp", "the master switch went on since the app started: starting it again", false);
  sending = sending.then(() => fetch("/apps/whatsapp/restart", { method: "POST" }));
}

$("#compose").addEventListener("submit", (event) => {
  event.preventDefault();
  const input = $("#message");
  if (!currentChat || input.value === "") return;
  restartWhatsAppIfSwitchedOn();
  send("whatsapp", {
    receive: {
      text: input.value,
      chat: {
        contactIdentifier: currentChat.contactIdentifier,
        displayName: currentChat.displayName,
        muted: $("#muted").checked,
        group: $("#group").checked,
      },
    },
  });
  input.value = "";
});

// {"id":N,"text":S,"chat":CHAT} at t seconds of the app's clock: the
// incoming bubble, and under it what Mornaq makes of the message.
function received(message, t) {
  const chat = addChat(message.chat?.contactIdentifier ?? null, message.chat?.displayName ?? "?");
  const flags = [message.chat?.muted ? "muted" : null, message.chat?.group ? "group" : null].filter(Boolean);
  addToChat(chat, element("li", { class: "bubble in" },
    element("span", { class: "who" }, `${chat.displayName}${flags.length ? ` (${flags.join(", ")})` : ""}`),
    message.text ?? ""));
  const verdict = element("li", { class: "verdict" },
    element("span", { class: "verdict-text" }, "Delivered; Mornaq is screening it"));
  addToChat(chat, verdict);
  messages.set(message.id, { verdict, receivedAt: started.whatsapp + t * 1000 });
}

// {"id":N,"reply":B,"sendsAt":N|null,"steps":[...],"verdict":S,...}, given
// when the message's road through the add-on ends, in whatever order the
// messages came.
function explained(why) {
  const message = messages.get(why.id);
  if (!message) return;
  const { verdict } = message;
  message.explained = true;
  verdict.classList.add(why.reply ? "reply" : "none");
  $(".verdict-text", verdict).textContent = why.verdict;
  if (why.reply) {
    message.until = message.receivedAt + why.sendsAt * 1000;
    message.countdown = element("span", { class: "countdown", role: "timer" });
    verdict.append(" ", message.countdown);
    countDown(message);
  }
  const steps = why.steps.map((step) => element("li", {}, step.why));
  if (steps.length) verdict.append(element("details", {}, element("summary", {}, "Why"), element("ol", {}, ...steps)));
}

// {"id":N,"sent":B,"why":S|null,...}: the reply left, or a reply policy held
// it back just as it was about to.
function replied(reply) {
  const message = messages.get(reply.id);
  if (!message?.countdown) return;
  message.until = undefined;
  if (reply.sent) {
    message.countdown.textContent = "— sent";
    return;
  }
  message.countdown.remove();
  message.verdict.classList.replace("reply", "none");
  $(".verdict-text", message.verdict).textContent = `No reply: ${reply.why}`;
}

function countDown(message) {
  const left = Math.max(0, (message.until - Date.now()) / 1000);
  message.countdown.textContent = `— on its way, ${left.toFixed(1)} s`;
}

setInterval(() => {
  for (const message of messages.values()) {
    if (message.until !== undefined) countDown(message);
  }
}, 100);

// What the chat storage sent, into the chat it names.
function sent(reply) {
  const chat = addChat(reply.contactIdentifier, reply.displayName ?? reply.contactIdentifier);
  addToChat(chat, element("li", { class: "bubble out" }, element("span", { class: "who" }, "Mornaq"), reply.text ?? ""));
}

// The events for programs draw the messages; log lines are for people.
function whatsappOutput(out) {
  if (out.log !== undefined) logLine("whatsapp", seconds(out.t) + out.log);
  else if (out.received) received(out.received, out.t);
  else if (out.why) explained(out.why);
  else if (out.reply) replied(out.reply);
  else if (out.switch) switchRead(out.switch.on);
  else if (out.sent) sent(out.sent);
  else if (out.alert) showAlert("whatsapp", out.alert, (title) => send("whatsapp", { tap: title }));
  else if (out.dismiss) dismissAlert("whatsapp", out.dismiss.title);
  else logLine("whatsapp", seconds(out.t) + JSON.stringify(out));
}

// ---- Settings app ----------------------------------------------------------

const barLabels = { add: "Add", trash: "Trash" };
const barTexts = { add: "+", trash: "🗑" };

// A choice row: a select named by its label, an option for each choice; a stored value the row
// does not offer shows as it reads, and cannot be chosen again.
function choiceRow(row) {
  const id = `row-${row.key}`;
  const select = element("select", { id });
  if (row.choice === null && row.value !== null) {
    select.append(element("option", { value: "", disabled: true }, `${JSON.stringify(row.value)} (not one of its choices)`));
  }
  row.choices.forEach((choice, index) => select.append(element("option", { value: String(index) }, choice.title)));
  const chosen = row.choices.findIndex((choice) => choice.title === row.choice);
  select.value = chosen < 0 ? "" : String(chosen);
  select.addEventListener("change", () => send("settings", { set: { key: row.key, value: row.choices[Number(select.value)].value } }));
  return element("div", { class: "row" }, element("label", { for: id }, row.label ?? ""), select);
}

function settingsRow(row) {
  const label = row.label ?? "";
  if (row.choices) return choiceRow(row);
  switch (row.cell) {
    case "PSGroupCell":
      return element("div", { class: "group-block" },
        row.header ? element("img", { class: "header-image", src: "/images/header.png", alt: "Mornaq", height: Math.round(row.header.height) }) : null,
        label ? element("h4", { class: "group" }, label) : null);
    case "PSSwitchCell": {
      const toggle = element("button", { type: "button", role: "switch", "aria-checked": String(row.value === true), "aria-label": label });
      toggle.addEventListener("click", () => {
        const on = toggle.getAttribute("aria-checked") !== "true";
        toggle.setAttribute("aria-checked", String(on));
        send("settings", { set: { key: row.key, value: on } });
      });
      return element("div", { class: "row" }, element("span", { "aria-hidden": "true" }, label), toggle);
    }
    case "PSEditTextCell": {
      const id = `row-${row.key}`;
      const input = element("input", { type: "text", id, value: row.value ?? "" });
      // Written when editing ends, as on the phone.
      input.addEventListener("change", () => send("settings", { set: { key: row.key, value: input.value } }));
      return element("div", { class: "row" }, element("label", { for: id }, label), input);
    }
    case "PSButtonCell":
      return element("div", { class: "row" }, element("button", { type: "button", class: "action", onclick: () => send("settings", { tap: label }) }, label), deleteButton(row));
    default: // PSLinkCell, PSLinkListCell
      return element("div", { class: "row" }, rowIcon(row), element("button", { type: "button", class: "link", onclick: () => send("settings", { tap: label }) }, label), deleteButton(row));
  }
}

// What a contact row's state icon says, for those who cannot see it.
const iconTexts = { "ContactBl@2x": "blacklisted", "icon@2x": "own reply on", "Contact@2x": "neither" };

// Drawn from the images the server read at start; a name it lacks draws nothing.
function rowIcon(row) {
  if (!row.icon) return null;
  return element("img", { class: "row-icon", src: `/images/${row.icon}.png`, alt: iconTexts[row.icon] ?? row.icon });
}

function deleteButton(row) {
  if (!row.deletable) return null;
  return element("button", { type: "button", class: "delete", "aria-label": `Delete ${row.label}`, onclick: () => send("settings", { swipe: row.label }) }, "Delete");
}

// The page is drawn again whenever the app prints it; the control in use
// stays in use, with what was being typed into it.
function showPage(page) {
  const active = document.activeElement;
  const activeId = $("#settings").contains(active) ? active.dataset.id : undefined;
  const typed = active instanceof HTMLInputElement ? active.value : undefined;
  $("#page-title").textContent = page.title ?? "";
  $("#bar-buttons").replaceChildren(...page.bar.map((name) =>
    element("button", { type: "button", "aria-label": barLabels[name] ?? name, "data-id": `bar|${name}`, onclick: () => send("settings", { bar: name }) }, barTexts[name] ?? name)));
  $("#rows").replaceChildren(...page.rows.map(settingsRow));
  for (const control of $("#rows").querySelectorAll("button, input, select")) {
    control.dataset.id ??= `${page.class}|${control.className}|${control.getAttribute("aria-label") || control.id || control.textContent}`;
  }
  if (activeId === undefined) return;
  const again = [...$("#settings").querySelectorAll("[data-id]")].find((control) => control.dataset.id === activeId);
  if (!again) return;
  if (typed !== undefined && again instanceof HTMLInputElement) again.value = typed;
  again.focus();
}
$("#back").addEventListener("click", () => send("settings", { back: true }));

// The fields of an alert are typed in, then its button tapped.
function answerSettingsAlert(alert) {
  return (title, values) => {
    if (alert.fields.length) send("settings", { fields: values });
    send("settings", { alert: title });
  };
}

// The page is printed again whenever a value on it is written; its rows show
// the settings files as they are.
function settingsOutput(out) {
  if (out.page) {
    showPage(out.page);
    const masterRow = out.page.rows.find((row) => row.key === "isTweakEnabled");
    if (masterRow) switchIs(masterRow.value === true);
  }
  else if (out.alert) showAlert("settings", out.alert, answerSettingsAlert(out.alert));
  else if (out.dismiss) dismissAlert("settings", out.dismiss.title);
  else if (out.log !== undefined) logLine("settings", out.log);
  else logLine("settings", JSON.stringify(out));
}

// ---- Home screen -----------------------------------------------------------

// Each listener's own picture, as the bundle holds it for the listing's scale.
const listenerIcons = { "com.corvane.halbrin.mornaqactivator/ONN": "ListenerOn@3x", "com.corvane.halbrin.mornaqactivator/OFF": "ListenerOff@3x" };

function listener(facts) {
  const title = facts.title ?? facts.name;
  $("#listeners").append(element("button", { type: "button", "aria-label": title, onclick: () => send("springboard", { activator: facts.name }) },
    facts.icon && listenerIcons[facts.name] ? element("img", { src: `/images/${listenerIcons[facts.name]}.png`, alt: "" }) : null,
    element("span", {}, title)));
}
$("#home-screen").addEventListener("click", () => send("springboard", { homeScreen: true }));

function springboardOutput(out) {
  if (out.listener) listener(out.listener);
  else if (out.alert) showAlert("springboard", out.alert, (title) => send("springboard", { tap: title }));
  else if (out.dismiss) dismissAlert("springboard", out.dismiss.title);
  else if (out.switch) switchIs(out.switch.on);
  else if (out.log !== undefined) logLine("springboard", seconds(out.t) + out.log);
  else logLine("springboard", seconds(out.t) + JSON.stringify(out));
}

// What a fresh start of an app clears.
const restarted = {
  // The old run has printed all it will: what it left undone stays undone,
  // and the new run numbers its messages from 1 again.
  whatsapp: () => {
    masterSwitch.atWhatsAppStart = null;
    for (const message of messages.values()) {
      if (!message.explained) $(".verdict-text", message.verdict).textContent = "The app restarted";
      else if (message.until !== undefined) message.countdown.textContent = "— not sent: the app restarted";
    }
    messages.clear();
  },
  springboard: () => $("#listeners").replaceChildren(),
};

// ---- The event stream ------------------------------------------------------

const outputs = { whatsapp: whatsappOutput, settings: settingsOutput, springboard: springboardOutput };

function dispatch(event) {
  if (!sections[event.app]) return;
  if (event.state) showState(event.app, event);
  else if (event.err !== undefined) logLine(event.app, event.err, true);
  else if (typeof event.out === "object" && event.out !== null) outputs[event.app](event.out);
  else if (event.out !== undefined) logLine(event.app, String(event.out));
  // The lines fed ("in") are not drawn: what the app prints tells what it made of them.
}

async function start() {
  try {
    const contacts = await (await fetch("/contacts.json")).json();
    for (const contact of contacts) addChat(contact.identifier, contact.name);
  } catch (error) {
    logLine("whatsapp", `no address book: ${error}`, true);
  }
  addChat(null, "+44 7700 900999");
  const source = new EventSource("/events");
  const connection = $("#connection");
  source.addEventListener("open", () => { connection.textContent = "Connected"; });
  source.addEventListener("error", () => { connection.textContent = "Connection lost, retrying…"; });
  source.addEventListener("message", (message) => dispatch(JSON.parse(message.data)));
}

start();
