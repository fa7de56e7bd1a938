// The life cycle and the dispatch of messages.
#include "lsp/server.h"

#include <new>

#include "lsp/code_actions.h"
#include "lsp/completion.h"
#include "lsp/coverage_request.h"
#include "lsp/graph_request.h"
#include "lsp/navigation.h"
#include "lsp/outline.h"
#include "lsp/rename.h"
#include "lsp/story_request.h"

namespace plotwright::lsp {

namespace {

json capabilities() {
  return {{"positionEncoding", "utf-16"},
          {"textDocumentSync", {{"openClose", true}, {"change", 1}}},  // the full text
          {"definitionProvider", true},
          {"referencesProvider", true},
          {"renameProvider", {{"prepareProvider", true}}},
          {"documentSymbolProvider", true},
          {"completionProvider", {{"triggerCharacters", {"[", "%", "$", "<", "{"}}}},
          {"hoverProvider", true},
          {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}}};
}

std::string publish(std::string_view params) {
  return notification_text("textDocument/publishDiagnostics", params);
}

bool is_valid_id(const json& id) {
  return id.is_number_integer() || id.is_string();
}

// A request about one document; its result as JSON text.
using DocumentRequest = std::string (*)(OpenDocument&, Cp932Codec&, const json&);

const std::map<std::string_view, DocumentRequest>& document_requests() {
  using D = OpenDocument&;
  using C = Cp932Codec&;
  static const std::map<std::string_view, DocumentRequest> table = {
      {"textDocument/definition",
       [](D d, C, const json& p) { return message_text(definition(d, p)); }},
      {"textDocument/references",
       [](D d, C, const json& p) { return message_text(references(d, p)); }},
      {"textDocument/hover", [](D d, C, const json& p) { return message_text(hover(d, p)); }},
      {"textDocument/prepareRename",
       [](D d, C, const json& p) { return message_text(prepare_rename(d, p)); }},
      {"textDocument/rename",
       [](D d, C codec, const json& p) { return message_text(rename(d, codec, p)); }},
      {"textDocument/documentSymbol", [](D d, C, const json&) { return document_symbols(d); }},
      {"textDocument/completion",
       [](D d, C, const json& p) { return message_text(completion(d, p)); }},
      {"textDocument/codeAction",
       [](D d, C codec, const json& p) { return message_text(code_actions(d, codec, p)); }},
      {"plotwright/coverage", [](D d, C codec, const json& p) { return coverage(d, codec, p); }},
      {"plotwright/graph", [](D d, C codec, const json& p) { return graph(d, codec, p); }},
      {"plotwright/story", [](D d, C codec, const json& p) { return story(d, codec, p); }},
  };
  return table;
}

}  // namespace

void Server::receive(std::string_view body, Clock::time_point now, std::vector<std::string>& out) {
  if (state_ == State::EXITED) return;
  if (nests_deeper_than(body, kMaxJsonDepth)) {
    out.push_back(message_text(error_response(nullptr, kInvalidRequest,
                                              "the message nests arrays and objects deeper than " +
                                                  std::to_string(kMaxJsonDepth) + " levels")));
    return;
  }
  const json message = json::parse(body, nullptr, false);
  if (message.is_discarded()) return refuse("the message is not JSON", out);
  const json id = message.is_object() ? message.value("id", json()) : json();
  const bool well_formed = message.is_object() && message.value("jsonrpc", json()) == "2.0" &&
                           (!message.contains("id") || is_valid_id(id));
  if (well_formed && !message.contains("method") && message.contains("id") &&
      (message.contains("result") || message.contains("error"))) {
    return;  // a response; the server asks the editor nothing
  }
  if (!well_formed || !message.contains("method") || !message["method"].is_string()) {
    out.push_back(message_text(error_response(is_valid_id(id) ? id : json(), kInvalidRequest,
                                              "not a JSON-RPC 2.0 request or notification")));
    return;
  }
  const std::string method = message["method"].get<std::string>();
  const json params = message.value("params", json::object());
  if (message.contains("id")) {
    request(id, method, params, out);
  } else {
    notify(method, params, now, out);
  }
}

void Server::refuse(const std::string& reason, std::vector<std::string>& out) {
  out.push_back(message_text(error_response(nullptr, kParseError, reason)));
}

void Server::request(const json& id, const std::string& method, const json& params,
                     std::vector<std::string>& out) {
  try {
    if (state_ == State::STARTING && method != "initialize") {
      throw RequestError(kServerNotInitialized, "the server is not initialized yet");
    }
    if (state_ == State::SHUT_DOWN) {
      throw RequestError(kInvalidRequest, "the server is shutting down");
    }
    out.push_back(response_text(id, answer(method, params)));
  } catch (const RequestError& e) {
    out.push_back(message_text(error_response(id, e.code(), e.what())));
  } catch (const json::exception& e) {  // a parameter of the wrong type
    out.push_back(message_text(error_response(id, kInvalidParams, e.what())));
  } catch (const std::bad_alloc&) {
    out.push_back(message_text(error_response(id, kInternalError, "out of memory")));
  }
}

std::string Server::answer(const std::string& method, const json& params) {
  if (method == "initialize") {
    if (state_ != State::STARTING) throw RequestError(kInvalidRequest, "initialize came twice");
    state_ = State::RUNNING;
    return message_text(
        {{"capabilities", capabilities()}, {"serverInfo", {{"name", "plotwright"}}}});
  }
  if (method == "shutdown") {
    state_ = State::SHUT_DOWN;
    shut_down_ = true;
    return "null";
  }
  const auto handler = document_requests().find(method);
  if (handler == document_requests().end()) {
    throw RequestError(kMethodNotFound, "no method " + method);
  }
  return handler->second(document(params), codec_, params);
}

void Server::notify(const std::string& method, const json& params, Clock::time_point now,
                    std::vector<std::string>& out) {
  if (method == "exit") {
    state_ = State::EXITED;
    return;
  }
  if (state_ != State::RUNNING) return;  // before initialize and after shutdown, only exit counts
  try {
    if (method == "textDocument/didOpen") did_open(params, out);
    if (method == "textDocument/didChange") did_change(params, now);
    if (method == "textDocument/didClose") did_close(params, out);
  } catch (const std::exception& e) {  // a notification gets no answer: the log says it
    out.push_back(message_text(
        notification("window/logMessage", {{"type", 1}, {"message", method + ": " + e.what()}})));
  }
}

OpenDocument& Server::document(const json& params) {
  const std::string uri = document_uri(params);
  const auto found = documents_.find(uri);
  if (found == documents_.end()) throw RequestError(kInvalidParams, "no open document " + uri);
  return found->second.document;
}

void Server::did_open(const json& params, std::vector<std::string>& out) {
  const json& item = member(params, "textDocument");
  const std::string uri = string_member(item, "uri");
  const int version = item.value("version", 0);
  documents_.erase(uri);
  auto [entry, added] = documents_.try_emplace(
      uri, Tracked{OpenDocument(codec_, uri, version, string_member(item, "text")), std::nullopt});
  out.push_back(publish(entry->second.document.diagnostics()));
}

void Server::did_change(const json& params, Clock::time_point now) {
  OpenDocument& changed = document(params);
  const json& changes = member(params, "contentChanges");
  if (!changes.is_array()) throw RequestError(kInvalidParams, "contentChanges is no array");
  for (const json& change : changes) changed.apply_change(change);
  changed.set_version(member(params, "textDocument").value("version", changed.version()));
  documents_.at(changed.uri()).due = now + kSettleTime;
}

void Server::did_close(const json& params, std::vector<std::string>& out) {
  const std::string uri = document_uri(params);
  if (documents_.erase(uri) == 0) return;
  out.push_back(publish(message_text({{"uri", uri}, {"diagnostics", json::array()}})));
}

void Server::publish_due(Clock::time_point now, std::vector<std::string>& out) {
  for (auto& [uri, tracked] : documents_) {
    if (!tracked.due || *tracked.due > now) continue;
    tracked.due.reset();
    out.push_back(publish(tracked.document.diagnostics()));
  }
}

std::optional<Server::Clock::time_point> Server::next_due() const {
  std::optional<Clock::time_point> first;
  for (const auto& [uri, tracked] : documents_) {
    if (tracked.due && (!first || *tracked.due < *first)) first = tracked.due;
  }
  return first;
}

}  // namespace plotwright::lsp
