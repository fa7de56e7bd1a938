// Building the graph request's DOT from the shared scene graph and its writer.
#include "lsp/graph_request.h"

#include "authoring/graph_writer.h"
#include "authoring/scene_graph.h"
#include "lsp/coverage_request.h"

namespace plotwright::lsp {

namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string file_name_of(const std::string& uri) {
  const std::size_t cut = uri.find_last_of("/:");
  const std::string segment = cut == std::string::npos ? uri : uri.substr(cut + 1);
  std::string name;
  for (std::size_t i = 0; i < segment.size(); ++i) {
    const int high = i + 2 < segment.size() ? hex_digit(segment[i + 1]) : -1;
    const int low = high >= 0 ? hex_digit(segment[i + 2]) : -1;
    // A control character stays escaped: the name heads a picture.
    if (segment[i] == '%' && low >= 0 && high * 16 + low >= 0x20) {
      name += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      name += segment[i];
    }
  }
  return name;
}

std::string graph(OpenDocument& document, Cp932Codec& codec, const json& params) {
  const std::string title = file_name_of(document.uri());
  json result = json::object();
  if (params.contains("coverage") && !params["coverage"].is_null()) {
    CoverageRun run;
    try {
      static_cast<void>(tell_coverage_stories(document, codec, params["coverage"], run));
      const SceneGraph counted =
          build_scene_graph(run.model, SceneNames(run.model, codec), codec, &run.recorder);
      result["dot"] = graph_to_dot(counted, title, true);
      result["stories"] = counted.runs;
      return message_text(result);
    } catch (const RequestError& e) {
      if (e.code() != kRequestFailed) throw;  // a bad count or seed is the caller's to mend
      result["coverageError"] = e.what();
    }
  }
  const ScenarioModel& model = document.checked().analysis().model();
  result["dot"] =
      graph_to_dot(build_scene_graph(model, SceneNames(model, codec), codec, nullptr), title, true);
  return message_text(result);
}

}  // namespace plotwright::lsp
