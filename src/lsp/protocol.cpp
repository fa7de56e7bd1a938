// JSON-RPC messages and the protocol's basic structures.
#include "lsp/protocol.h"

#include <limits>

namespace plotwright::lsp {

bool nests_deeper_than(std::string_view text, int limit) {
  int depth = 0;
  bool in_string = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_string) {
      if (c == '\\') ++i;  // the escaped character cannot end the string
      if (c == '"') in_string = false;
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      if (++depth > limit) return true;
    } else if (c == ']' || c == '}') {
      if (depth > 0) --depth;
    }
  }
  return false;
}

std::string message_text(const json& message) {
  return message.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string response_text(const json& id, std::string_view result) {
  std::string text = R"({"jsonrpc":"2.0","id":)" + message_text(id) + R"(,"result":)";
  return text.append(result) + "}";
}

std::string notification_text(std::string_view method, std::string_view params) {
  JsonWriter out;
  out.begin_object().key("jsonrpc").value("2.0").key("method").value(method);
  return out.key("params").raw(params).end_object().take();
}

json error_response(const json& id, int code, const std::string& message) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}};
}

json notification(const std::string& method, json params) {
  return {{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

json position_json(LspPosition position) {
  return {{"line", position.line}, {"character", position.character}};
}

json range_json(const DocumentText& text, const SourceRange& range) {
  return {{"start", position_json(text.lsp_position(text.offset_of(range.begin)))},
          {"end", position_json(text.lsp_position(text.offset_of(range.end)))}};
}

void write_range(JsonWriter& out, const DocumentText& text, const SourceRange& range) {
  const LspPosition start = text.lsp_position(text.offset_of(range.begin));
  const LspPosition end = text.lsp_position(text.offset_of(range.end));
  out.begin_object().key("start").begin_object();
  out.key("line").value(start.line).key("character").value(start.character).end_object();
  out.key("end").begin_object();
  out.key("line").value(end.line).key("character").value(end.character).end_object();
  out.end_object();
}

json location_json(const std::string& uri, const DocumentText& text, const SourceRange& range) {
  return {{"uri", uri}, {"range", range_json(text, range)}};
}

const json& member(const json& object, const char* name) {
  if (!object.is_object() || !object.contains(name)) {
    throw RequestError(kInvalidParams, std::string("missing parameter \"") + name + "\"");
  }
  return object.at(name);
}

std::string string_member(const json& object, const char* name) {
  const json& value = member(object, name);
  if (!value.is_string()) {
    throw RequestError(kInvalidParams, std::string("parameter \"") + name + "\" is no string");
  }
  return value.get<std::string>();
}

std::string document_uri(const json& params) {
  return string_member(member(params, "textDocument"), "uri");
}

namespace {

int number_member(const json& object, const char* name) {
  const json& value = member(object, name);
  if (!value.is_number_integer() || value.get<long long>() < 0 ||
      value.get<long long>() > std::numeric_limits<int>::max()) {
    throw RequestError(kInvalidParams,
                       std::string("parameter \"") + name + "\" is no number from 0 up");
  }
  return value.get<int>();
}

}  // namespace

LspPosition position_member(const json& params) {
  const json& position = member(params, "position");
  return LspPosition{number_member(position, "line"), number_member(position, "character")};
}

}  // namespace plotwright::lsp
