// Rehearse: the chosen chat export goes to the server (POST /rehearse, the
// file as it is), which runs `mornaq replay --json` on it; the page draws the
// transcript as a conversation, Mornaq's answer under each of the contact's
// messages, then the summary. Uses element() and $() of phone.js.
"use strict";

const rehearseForm = $("#rehearse-form");
const transcript = $("#transcript");
const rehearseSummary = $("#rehearse-summary");
const rehearseErrors = $("#rehearse-errors");
const rehearseState = $("#rehearse-state");

const shownTime = (iso) => iso.replace("T", " ");

// What Mornaq would have done with one of the contact's messages.
function answerOf(message) {
  if (message.reply) {
    return element("li", { class: "verdict reply" },
      `Mornaq replies at ${shownTime(message.reply.at)}: ${message.reply.text}`);
  }
  return element("li", { class: "verdict none" }, message.why);
}

function messageItem(message) {
  return element("li", { class: message.you ? "bubble out" : "bubble in" },
    element("span", { class: "when" }, `${message.you ? "You" : message.from} · ${shownTime(message.time)}`),
    message.text ?? "(no text)");
}

function showSummary(summary) {
  const stopped = Object.entries(summary.stoppedBy).map(([reason, count]) => `${reason} ${count}`);
  const rows = [["Chat", summary.chat], ["Received", summary.received], ["Answered", summary.answered],
    ["Stopped", stopped.length ? stopped.join(", ") : "none"]];
  rehearseSummary.replaceChildren(...rows.flatMap(([name, value]) =>
    [element("dt", {}, name), element("dd", {}, String(value))]));
}

function showRehearsal(answer) {
  // Standard error: why the export was not rehearsed, or a notice (the date order taken).
  rehearseErrors.textContent = answer.errors.trim();
  rehearseErrors.classList.toggle("notice", answer.status === 0);
  for (const object of answer.transcript) {
    if (object.summary) {
      showSummary(object.summary);
      continue;
    }
    transcript.append(messageItem(object));
    if (!object.you) transcript.append(answerOf(object));
  }
}

rehearseForm.addEventListener("submit", async (event) => {
  event.preventDefault();
  const file = $("#export-file").files[0];
  if (!file) return;
  const me = $("#export-me").value.trim();
  transcript.replaceChildren();
  rehearseSummary.replaceChildren();
  rehearseErrors.textContent = "";
  rehearseErrors.classList.remove("notice");
  rehearseState.textContent = "rehearsing…";
  try {
    const response = await fetch(me ? `/rehearse?me=${encodeURIComponent(me)}` : "/rehearse", {
      method: "POST",
      headers: { "Content-Type": "application/octet-stream" },
      body: file,
    });
    if (!response.ok) throw new Error((await response.text()).trim());
    showRehearsal(await response.json());
    rehearseState.textContent = "";
  } catch (error) {
    rehearseErrors.textContent = `Not rehearsed: ${error.message}`;
    rehearseState.textContent = "";
  }
});
