// The JSON-RPC and LSP vocabulary the server speaks: error codes, the error a request ends
// with, and the conversion of positions, ranges and parameters to and from JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "encoding/json_text.h"
#include "lsp/document_text.h"

namespace plotwright::lsp {

using nlohmann::json;

// The deepest nesting of arrays and objects a message may have. Copying, printing and
// comparing a JSON value recurse once per level, so a message nested a hundred thousand deep
// would overflow the stack; no editor's message comes near this.
inline constexpr int kMaxJsonDepth = 256;

// The most diagnostics one document's publication carries, besides a last one that says how
// many more there are. An editor slows to a crawl on tens of thousands (a hundred-thousand-line
// file can have that many: megabytes per edit), and no author reads past the first screens.
inline constexpr std::size_t kMaxPublishedDiagnostics = 1000;

// The most quick fixes one codeAction answer offers: a selection of the whole of a large file
// touches every diagnostic, and a menu of thousands helps no one.
inline constexpr std::size_t kMaxCodeActions = 100;

enum ErrorCode : int {
  kParseError = -32700,
  kInvalidRequest = -32600,
  kMethodNotFound = -32601,
  kInvalidParams = -32602,
  kInternalError = -32603,
  kServerNotInitialized = -32002,
  kRequestFailed = -32803,  // well-formed, but refused (a rename to a name already taken)
};

// Thrown by a request's handler; the server answers the request with this error. Nothing
// else is thrown through a handler on purpose.
class RequestError : public std::runtime_error {
 public:
  RequestError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

// Whether the JSON text `text` opens more than `limit` arrays and objects inside one another,
// brackets inside strings aside. Read on the raw bytes, before anything parses or walks them;
// the text need not be valid JSON.
bool nests_deeper_than(std::string_view text, int limit);

json error_response(const json& id, int code, const std::string& message);
json notification(const std::string& method, json params);
// A message as the text that goes out; JSON texts of a result and of a notification's params.
std::string message_text(const json& message);
std::string response_text(const json& id, std::string_view result);
std::string notification_text(std::string_view method, std::string_view params);

json position_json(LspPosition position);
json range_json(const DocumentText& text, const SourceRange& range);
json location_json(const std::string& uri, const DocumentText& text, const SourceRange& range);
void write_range(JsonWriter& out, const DocumentText& text, const SourceRange& range);

// Members of a request's parameters; a RequestError (invalid params) when missing or mistyped.
const json& member(const json& object, const char* name);
std::string string_member(const json& object, const char* name);
// params.textDocument.uri
std::string document_uri(const json& params);
// params.position
LspPosition position_member(const json& params);

}  // namespace plotwright::lsp
