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

const chats = new Map(); // key → {key, contactIdentifier, displayName, items: [elements]}
let currentChat = null;
const awaitingWhy = []; // incoming messages in the order the app screens them
const conversation = $("#conversation");

const chatKey = (contactIdentifier, displayName) => contactIdentifier ?? displayName;

function addChat(contactIdentifier, displayName) {
  const key = chatKey(contactIdentifier, displayName);
  if (chats.has(key)) return chats.get(key);
  const chat = { key, contactIdentifier, displayName, items: [], pending: [] };
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

// The messaging app reads the master switch once, when it starts: a switch
// turned on since then needs the app started again, as on the phone, before
// the next message can be answered.
const masterSwitch = { now: null, atWhatsAppStart: null };

function readSwitchAtStart(line) {
  const match = /^\[Mornaq\] getPlistValue value:-(\d)/.exec(line);
  if (match && masterSwitch.atWhatsAppStart === null) masterSwitch.atWhatsAppStart = match[1] === "1";
}

function restartWhatsAppIfSwitchedOn() {
  if (!(masterSwitch.now === true && masterSwitch.atWhatsAppStart === false)) return;
  masterSwitch.atWhatsAppStart = true;
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

// A message the app was given: the incoming bubble, and under it what Mornaq
// makes of it.
function received(receive) {
  const chat = addChat(receive.chat?.contactIdentifier ?? null, receive.chat?.displayName ?? "?");
  const flags = [receive.chat?.muted ? "muted" : null, receive.chat?.group ? "group" : null].filter(Boolean);
  addToChat(chat, element("li", { class: "bubble in" },
    element("span", { class: "who" }, `${chat.displayName}${flags.length ? ` (${flags.join(", ")})` : ""}`),
    receive.text ?? ""));
  const verdict = element("li", { class: "verdict" }, "Delivered; Mornaq is screening it");
  addToChat(chat, verdict);
  const message = { chat, verdict, text: receive.text ?? null };
  awaitingWhy.push(message);
  chat.pending.push(message);
}

// {"message":S,"reply":B,"stoppedBy":S|null,"sendsAt":N|null,"steps":[...],
// "verdict":S,...}. Messages are explained when their road ends, not in the
// order they came: the first message waiting with that text is the one.
function explained(why) {
  const index = awaitingWhy.findIndex((waiting) => waiting.text === why.message);
  if (index < 0) return;
  const [message] = awaitingWhy.splice(index, 1);
  const { verdict } = message;
  verdict.replaceChildren();
  verdict.classList.add(why.reply ? "reply" : "none");
  verdict.append(element("span", { class: "verdict-text" }, why.verdict ?? (why.reply ? "Mornaq replies" : `No reply: ${why.stoppedBy}`)));
  if (why.reply && typeof why.sendsAt === "number" && started.whatsapp) {
    message.until = started.whatsapp + why.sendsAt * 1000;
    message.countdown = element("span", { class: "countdown", role: "timer" });
    verdict.append(" ", message.countdown);
  } else {
    message.chat.pending.splice(message.chat.pending.indexOf(message), 1);
  }
  const steps = (why.steps || []).map((step) => element("li", {}, step.why));
  if (steps.length) verdict.append(element("details", {}, element("summary", {}, "Why"), element("ol", {}, ...steps)));
}

function sent(reply) {
  const chat = addChat(reply.contactIdentifier, reply.displayName ?? reply.contactIdentifier);
  const waiting = chat.pending.shift();
  if (waiting?.countdown) waiting.countdown.textContent = "— sent";
  else if (waiting) waiting.verdict.textContent = "Mornaq replied";
  if (waiting) waiting.until = undefined;
  addToChat(chat, element("li", { class: "bubble out" }, element("span", { class: "who" }, "Mornaq"), reply.text ?? ""));
}

setInterval(() => {
  for (const chat of chats.values()) {
    for (const message of chat.pending) {
      if (message.countdown && message.until !== undefined) {
        const left = Math.max(0, (message.until - Date.now()) / 1000);
        message.countdown.textContent = `— on its way, ${left.toFixed(1)} s`;
      }
    }
  }
}, 100);

function whatsappOutput(out) {
  if (out.log !== undefined) {
    readSwitchAtStart(out.log);
    logLine("whatsapp", seconds(out.t) + out.log);
  }
  else if (out.sent) sent(out.sent);
  else if (out.why) explained(out.why);
  else if (out.alert) showAlert("whatsapp", out.alert, (title) => send("whatsapp", { tap: title }));
  else if (out.dismiss) dismissAlert("whatsapp", out.dismiss.title);
  else logLine("whatsapp", seconds(out.t) + JSON.stringify(out));
}

// ---- Settings app ----------------------------------------------------------

const barLabels = { add: "Add", trash: "Trash" };
const barTexts = { add: "+", trash: "🗑" };

function settingsRow(row) {
  const label = row.label ?? "";
  switch (row.cell) {
    case "PSGroupCell":
      return element("div", { class: "group-block" },
        row.header ? element("img", { class: "header-image", src: "/images/header.png", alt: "Mornaq", height: Math.round(row.header.height) }) : null,
        label ? element("h4", { class: "group" }, label) : null);
    case "PSSwitchCell": {
      const toggle = element("button", { type: "button", role: "switch", "aria-checked": String(row.value === true), "aria-label": label });
      if (row.key === "isTweakEnabled") masterSwitch.now = row.value === true;
      toggle.addEventListener("click", () => {
        const on = toggle.getAttribute("aria-checked") !== "true";
        toggle.setAttribute("aria-checked", String(on));
        if (row.key === "isTweakEnabled") masterSwitch.now = on;
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
  for (const control of $("#rows").querySelectorAll("button, input")) {
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

function settingsOutput(out) {
  if (out.page) showPage(out.page);
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
  else if (out.log !== undefined) {
    const state = /^\[Mornaq\] ARSetState:-(\d)/.exec(out.log);
    if (state) masterSwitch.now = state[1] === "1";
    logLine("springboard", seconds(out.t) + out.log);
  }
  else logLine("springboard", seconds(out.t) + JSON.stringify(out));
}

// What a fresh start of an app clears.
const restarted = {
  whatsapp: () => {
    masterSwitch.atWhatsAppStart = null;
    for (const message of awaitingWhy.splice(0)) {
      if (message.verdict.textContent === "Delivered; Mornaq is screening it") message.verdict.textContent = "The app restarted";
    }
    for (const chat of chats.values()) chat.pending = [];
  },
  springboard: () => $("#listeners").replaceChildren(),
};

// ---- The event stream ------------------------------------------------------

const outputs = { whatsapp: whatsappOutput, settings: settingsOutput, springboard: springboardOutput };

function dispatch(event) {
  if (!sections[event.app]) return;
  if (event.state) showState(event.app, event);
  else if (event.err !== undefined) logLine(event.app, event.err, true);
  else if (event.in) {
    if (event.app === "whatsapp" && event.in.receive) received(event.in.receive);
  } else if (typeof event.out === "object" && event.out !== null) outputs[event.app](event.out);
  else logLine(event.app, String(event.out));
}

async function start() {
  try {
    const contacts = await (await fetch("/contacts.json")).json();
    for (const contact of contacts) addChat(`${contact.key}:ABPerson`, contact.name);
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
