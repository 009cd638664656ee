// The demo device's console: logs in like the device's own pages (the
// "userName" and "sessionId" cookies), lists the resource catalogue the
// build wrote, and sends one request at a time to a chosen resource.
"use strict";

const $ = (id) => document.getElementById(id);
let resources = [];
let chosen = null;

function cookie(name) {
  const found = document.cookie.split("; ").find((pair) => pair.startsWith(name + "="));
  return found ? decodeURIComponent(found.slice(name.length + 1)) : "";
}

function setCookie(name, value) {
  const expiry = value ? "" : "; max-age=0";
  document.cookie = name + "=" + encodeURIComponent(value) + "; path=/; SameSite=Strict" + expiry;
}

function showConsole(loggedIn) {
  $("login-view").hidden = loggedIn;
  $("console-view").hidden = !loggedIn;
  $("logout").hidden = !loggedIn;
  $("who").textContent = loggedIn ? "logged in as " + cookie("userName") : "";
  if (loggedIn && resources.length === 0) loadCatalogue();
}

// Pretty-prints a JSON text; anything else stays as it came.
function pretty(text) {
  try {
    return JSON.stringify(JSON.parse(text), null, 2);
  } catch (notJson) {
    return text;
  }
}

async function logIn(event) {
  event.preventDefault();
  const user = $("user").value;
  const digest = md5($("password").value);
  $("login-result").textContent = "";
  let answer = {};
  try {
    const reply = await fetch("/1000", {
      method: "POST",
      headers: { "Content-Type": "application/json" },
      body: JSON.stringify({ userName: user, md5: digest }),
    });
    answer = JSON.parse(await reply.text());
  } catch (failed) {
    answer = { type: "no answer" };
  }
  if (answer.type === 0 && answer.sessionId) {
    setCookie("userName", user);
    setCookie("sessionId", answer.sessionId);
    $("password").value = "";
    showConsole(true);
    return;
  }
  $("login-result").textContent = "Login refused (type " + answer.type + ")";
}

function logOut() {
  setCookie("sessionId", "");
  setCookie("userName", "");
  showConsole(false);
}

async function loadCatalogue() {
  const reply = await fetch("/console/resources.json");
  resources = (await reply.json()).resources;
  listResources();
}

function matches(resource, words) {
  const text = [resource.path, resource.handler, resource.module, resource.table, resource.right].join(" ");
  return words.every((word) => text.toLowerCase().includes(word));
}

function listResources() {
  const words = $("filter").value.toLowerCase().split(/\s+/).filter(Boolean);
  const list = $("catalogue");
  list.replaceChildren();
  let module = null;
  for (const resource of resources.filter((one) => matches(one, words))) {
    if (resource.module !== module) {
      module = resource.module;
      const heading = document.createElement("h4");
      heading.textContent = module;
      list.append(heading);
    }
    const entry = document.createElement("a");
    entry.href = "#" + resource.path;
    entry.dataset.path = resource.path;
    entry.className = resource === chosen ? "chosen" : "";
    entry.append(resource.path);
    const detail = document.createElement("span");
    detail.textContent = resource.handler + " · " + resource.right;
    entry.append(detail);
    entry.addEventListener("click", (event) => {
      event.preventDefault();
      choose(resource);
    });
    list.append(entry);
  }
}

function choose(resource) {
  chosen = resource;
  $("hint").hidden = true;
  $("request-form").hidden = false;
  $("answer").hidden = true;
  $("res-path").textContent = resource.path;
  $("res-handler").textContent = resource.handler;
  $("res-module").textContent = resource.module;
  $("res-table").textContent = resource.table;
  $("res-right").textContent = resource.right;
  listResources();
}

async function send(event) {
  event.preventDefault();
  const method = document.querySelector("input[name=method]:checked").value;
  const text = $("body").value.trim();
  const options = { method: method, credentials: "same-origin" };
  let url = chosen.path;
  if (method === "POST") {
    options.headers = { "Content-Type": "application/json" };
    options.body = text;
  } else if (text) {
    url += "?" + text;
  }
  const head = $("answer-head");
  const body = $("answer-body");
  $("answer").hidden = false;
  head.className = "";
  try {
    const reply = await fetch(url, options);
    const lines = ["HTTP " + reply.status + " " + reply.statusText];
    reply.headers.forEach((value, name) => lines.push(name + ": " + value));
    head.textContent = lines.join("\n");
    if (reply.status === 401 || reply.status === 403) head.className = "refused";
    const answer = await reply.text();
    body.textContent = answer ? pretty(answer) : "(no body)";
  } catch (failed) {
    head.textContent = "no answer: " + failed;
    head.className = "refused";
    body.textContent = "";
  }
}

$("login-form").addEventListener("submit", logIn);
$("logout").addEventListener("click", logOut);
$("filter").addEventListener("input", listResources);
$("request-form").addEventListener("submit", send);
showConsole(cookie("sessionId") !== "");
