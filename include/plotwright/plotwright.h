/* The C interface of libplotwright: a scenario in the Vell language, its stories, its usage
 * statistics and its diagnostics, from any language that can call C.
 *
 * A plotwright_scenario is an opaque handle; each handle owns everything it uses (its scenario,
 * its random source, its statistics, its text converter), and the library keeps no state of
 * its own, so two handles may be used in two threads at once. One handle must not be used by
 * two threads at the same time.
 *
 * Every call but plotwright_new, plotwright_free, plotwright_message, plotwright_version and
 * plotwright_severity_name
 * returns a plotwright_status and leaves a message, read with plotwright_message: on
 * PLOTWRIGHT_OK it is empty or a warning the user should see (a statistics file refused or not
 * saved); otherwise it says what went wrong, in English, as UTF-8.
 *
 * Text handed back (stories, statistics, diagnostics) stays valid until the next call on the
 * same handle, or until the handle is freed. Stories come back as UTF-8 with LF line ends and a
 * final line end, as the plotwright command prints them; plotwright_raw_story gives the same
 * story as the engine's own bytes (Shift-JIS, CR LF line ends).
 *
 *   plotwright_scenario* s = plotwright_new();
 *   const char* story;
 *   if (plotwright_open_file(s, "story.vell", PLOTWRIGHT_ENCODING_AUTO, 0) == PLOTWRIGHT_OK &&
 *       plotwright_story(s, 7, &story, NULL) == PLOTWRIGHT_OK)
 *     fputs(story, stdout);
 *   else
 *     fprintf(stderr, "%s\n", plotwright_message(s));
 *   plotwright_free(s);
 */
#ifndef PLOTWRIGHT_PLOTWRIGHT_H
#define PLOTWRIGHT_PLOTWRIGHT_H

#include <stddef.h>
#include <stdint.h>

#if defined(PLOTWRIGHT_BUILDING_LIBRARY) && defined(__GNUC__)
#define PLOTWRIGHT_API __attribute__((visibility("default")))
#else
#define PLOTWRIGHT_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct plotwright_scenario plotwright_scenario;

typedef enum plotwright_status {
  PLOTWRIGHT_OK = 0,
  /* The scenario does not compile, or has 199,999 lines or more: the text handed back holds
   * the messages instead of a story, as the plotwright command shows them (exit status 1). */
  PLOTWRIGHT_SCENARIO_ERROR = 1,
  /* A file that cannot be read: missing, not a regular file, longer than 256 MiB. */
  PLOTWRIGHT_FILE_ERROR = 2,
  /* A character with no Shift-JIS form, or (with PLOTWRIGHT_ENCODING_UTF8) a text that is not
   * UTF-8; the message names the line and the character or byte. */
  PLOTWRIGHT_ENCODING_ERROR = 3,
  /* A call that needs an open scenario, on a handle that has none. */
  PLOTWRIGHT_STATE_ERROR = 4,
  /* A null handle or pointer, an unknown encoding, statistics that do not fit the scenario, a
   * text longer than 256 MiB. */
  PLOTWRIGHT_ARGUMENT_ERROR = 5,
  /* The statistics file could not be written; the old file is as it was. */
  PLOTWRIGHT_STATISTICS_ERROR = 6,
  /* Memory ran out; the handle may only be freed. */
  PLOTWRIGHT_MEMORY_ERROR = 7,
  /* A fault inside the library that none of the above names; the message says what it was.
   * The handle may only be freed. */
  PLOTWRIGHT_INTERNAL_ERROR = 8
} plotwright_status;

/* How to read a scenario's bytes. AUTO reads text that is valid UTF-8 as UTF-8 (a leading
 * byte-order mark dropped) and anything else as Shift-JIS. */
typedef enum plotwright_encoding {
  PLOTWRIGHT_ENCODING_AUTO = 0,
  PLOTWRIGHT_ENCODING_SHIFT_JIS = 1,
  PLOTWRIGHT_ENCODING_UTF8 = 2
} plotwright_encoding;

/* plotwright_open_file's flags. */
enum {
  /* Keep the usage statistics on disk, in NAME.vus beside the scenario, as the plotwright
   * command does: each run reads them when it starts and saves its counts (merged with what
   * other programs saved meanwhile) when the next starts, at plotwright_save_statistics and at
   * plotwright_free. Without it the statistics live in the handle, as text to read and set,
   * and change only when they are saved or set. */
  PLOTWRIGHT_KEEP_STATISTICS = 1
};

typedef enum plotwright_severity {
  PLOTWRIGHT_SEVERITY_ERROR = 0,
  PLOTWRIGHT_SEVERITY_WARNING = 1,
  PLOTWRIGHT_SEVERITY_NOTE = 2
} plotwright_severity;

/* One finding of the scenario check (the codes of `plotwright check`). Lines count every
 * physical line of the scenario, from 1; columns count characters, from 1; the range ends
 * before end_line:end_column. */
typedef struct plotwright_diagnostic {
  int line;
  int column;
  int end_line;
  int end_column;
  plotwright_severity severity;
  const char* code;    /* "V101" */
  const char* message; /* UTF-8 */
} plotwright_diagnostic;

/* The library's version, "1.0.0". */
PLOTWRIGHT_API const char* plotwright_version(void);

/* A handle with no scenario open, or NULL when memory ran out. */
PLOTWRIGHT_API plotwright_scenario* plotwright_new(void);

/* Saves statistics kept on disk (a failure is not reported: call plotwright_save_statistics
 * first to know) and frees the handle. NULL is ignored. */
PLOTWRIGHT_API void plotwright_free(plotwright_scenario* scenario);

/* The message the last call on this handle left (see above). Never NULL. */
PLOTWRIGHT_API const char* plotwright_message(const plotwright_scenario* scenario);

/* Opens the scenario file at `path` (flags: PLOTWRIGHT_KEEP_STATISTICS or 0), replacing the
 * handle's scenario: statistics kept on disk are saved first; statistics kept in the handle
 * start again from nothing. A scenario that does not compile opens all the same (its
 * diagnostics say why); its stories fail with PLOTWRIGHT_SCENARIO_ERROR. On failure the handle
 * keeps the scenario it had. */
PLOTWRIGHT_API plotwright_status plotwright_open_file(plotwright_scenario* scenario,
                                                      const char* path,
                                                      plotwright_encoding encoding, unsigned flags);

/* Opens a scenario from `length` bytes of `text`, as plotwright_open_file does a file's
 * bytes (and with the same limit of 256 MiB); its statistics live in the handle. */
PLOTWRIGHT_API plotwright_status plotwright_open_text(plotwright_scenario* scenario,
                                                      const char* text, size_t length,
                                                      plotwright_encoding encoding);

/* Starts a new run from `seed`, as `plotwright --seed SEED FILE` does, and hands back its first
 * story in `*text` (and its length in `*length`, when `length` is not NULL). The run starts from
 * the statistics as they stand: in the handle, the same seed tells the same story until they
 * are saved or set; on disk, the last run's counts were saved and weigh on this one, as on the
 * next run of the program. */
PLOTWRIGHT_API plotwright_status plotwright_story(plotwright_scenario* scenario, uint32_t seed,
                                                  const char** text, size_t* length);

/* Another story of the run, as `plotwright --count` tells its second and later ones. Before
 * any plotwright_story, it starts a run seeded from the clock. */
PLOTWRIGHT_API plotwright_status plotwright_regenerate(plotwright_scenario* scenario,
                                                       const char** text, size_t* length);

/* The last story (or the messages that stood in for it) as the engine's bytes: Shift-JIS, CR
 * LF line ends, as `plotwright --raw` writes it. PLOTWRIGHT_STATE_ERROR before any story. */
PLOTWRIGHT_API plotwright_status plotwright_raw_story(plotwright_scenario* scenario,
                                                      const char** bytes, size_t* length);

/* The statistics as a save would leave them now, in the form of the NAME.vus file: one line
 * per scene but the last, two 12-character numbers each (uses, runs). Between runs, the
 * statistics as they are stored. Empty for a scenario that offers no choice, which keeps none,
 * and before any are counted or set. */
PLOTWRIGHT_API plotwright_status plotwright_statistics(plotwright_scenario* scenario,
                                                       const char** text, size_t* length);

/* Replaces the statistics with `length` bytes of `text`, in the form plotwright_statistics
 * gives (empty for none), and ends the run, whose counts are dropped; the next run starts from
 * them. PLOTWRIGHT_ARGUMENT_ERROR, and nothing changed, when the text does not fit the
 * scenario (another number of records, or not numbers). With PLOTWRIGHT_KEEP_STATISTICS the
 * file is replaced at once. */
PLOTWRIGHT_API plotwright_status plotwright_set_statistics(plotwright_scenario* scenario,
                                                           const char* text, size_t length);

/* Ends the run and keeps its counts: in the file (PLOTWRIGHT_KEEP_STATISTICS), or in the
 * handle, where the next runs start from them. The next plotwright_regenerate starts a run
 * seeded from the clock. */
PLOTWRIGHT_API plotwright_status plotwright_save_statistics(plotwright_scenario* scenario);

/* The word `plotwright check` and every front end print for a severity: "error", "warning"
 * or "note"; NULL for a value that names none. */
PLOTWRIGHT_API const char* plotwright_severity_name(plotwright_severity severity);

/* The scenario's diagnostics, sorted by position, in `*list` (`*count` of them). */
PLOTWRIGHT_API plotwright_status plotwright_diagnostics(plotwright_scenario* scenario,
                                                        const plotwright_diagnostic** list,
                                                        size_t* count);

#ifdef __cplusplus
}
#endif

#endif /* PLOTWRIGHT_PLOTWRIGHT_H */
