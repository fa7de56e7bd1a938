/* Tells the story of a seed from a scenario file with libplotwright, and lists what the
 * scenario check finds as `plotwright check` does. Usage: story FILE [SEED] */
#include <plotwright/plotwright.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: %s FILE [SEED]\n", argv[0]);
    return 2;
  }
  plotwright_scenario* scenario = plotwright_new();
  const char* story = NULL;
  const plotwright_diagnostic* found = NULL;
  size_t count = 0;
  uint32_t seed = argc > 2 ? (uint32_t)strtoul(argv[2], NULL, 10) : 1;
  if (!scenario ||
      plotwright_open_file(scenario, argv[1], PLOTWRIGHT_ENCODING_AUTO, 0) != PLOTWRIGHT_OK ||
      plotwright_story(scenario, seed, &story, NULL) != PLOTWRIGHT_OK ||
      plotwright_diagnostics(scenario, &found, &count) != PLOTWRIGHT_OK) {
    fprintf(stderr, "story: %s\n", plotwright_message(scenario));
    plotwright_free(scenario);
    return 1;
  }
  fputs(story, stdout);
  for (size_t i = 0; i < count; ++i)
    fprintf(stderr, "%s:%d:%d: %s: %s [%s]\n", argv[1], found[i].line, found[i].column,
            plotwright_severity_name(found[i].severity), found[i].message, found[i].code);
  plotwright_free(scenario);
  return 0;
}
