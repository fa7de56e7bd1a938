#!/usr/bin/env python3
"""Tests of check_examples.py against a stand-in for plotwright, so that a runner that passes
everything (or rewrites the wrong block) cannot hide a drifting document."""

import os
import subprocess
import sys
import tempfile
import textwrap
import unittest

RUNNER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_examples.py")

# Prints its arguments and the scenario in capitals; a scenario holding "fail" exits with 1;
# without --no-stats it adds a line to story.vus at every run.
FAKE_PLOTWRIGHT = """\
#!/usr/bin/env python3
import sys
args = sys.argv[1:]
scenario = open(args[-1], encoding="utf-8").read()
print("args:", " ".join(args[:-1]))
sys.stdout.write(scenario.upper())
if "--no-stats" not in args:
    with open("story.vus", "a") as vus:
        vus.write("saved\\n")
sys.exit(1 if "fail" in scenario else 0)
"""


def example(comment, scenario, *expected):
    text = f"<!-- {comment} -->\n```vell\n{scenario}```\n"
    for lang, body in expected:
        text += f"\n```{lang}\n{body}```\n"
    return text


class CheckExamplesTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.fake = os.path.join(self.folder.name, "plotwright")
        with open(self.fake, "w") as file:
            file.write(FAKE_PLOTWRIGHT)
        os.chmod(self.fake, 0o755)
        self.document = os.path.join(self.folder.name, "language.md")

    def tearDown(self):
        self.folder.cleanup()

    def check(self, markdown, *options):
        with open(self.document, "w", encoding="utf-8") as file:
            file.write(markdown)
        # The folders kept for reproducing a failure go into the test's own folder.
        environment = dict(os.environ, TMPDIR=self.folder.name)
        done = subprocess.run([sys.executable, RUNNER, *options, self.fake, self.document],
                              capture_output=True, text=True, env=environment)
        return done.returncode, done.stdout

    def read_document(self):
        with open(self.document, encoding="utf-8") as file:
            return file.read()

    def test_matching_examples_pass_and_mismatches_are_reported_with_a_diff(self):
        good = example("run: --seed 3", "title a\n", ("story", "args: --no-stats --seed 3\nTITLE A\n"))
        status, output = self.check("# Good\n\n" + good)
        self.assertEqual((status, output.strip()), (0, "1 examples, 0 failed"))

        bad = example("run: --seed 3", "title a\n", ("story", "args: --no-stats --seed 3\nTITLE B\n"))
        status, output = self.check("# Good\n\n" + good + "\n## Drifted\n\n" + bad)
        self.assertEqual(status, 1)
        self.assertIn('language.md:15: example 2 under "Drifted"', output)
        self.assertIn("--no-stats --seed 3 story.vell", output)
        self.assertIn("-TITLE B\n+TITLE A\n", output)
        self.assertIn("2 examples, 1 failed", output)

    def test_update_rewrites_and_inserts_the_expected_blocks_only(self):
        markdown = textwrap.dedent("""\
            Intro.

            <!-- run: --seed 1 -->
            ```vell
            title a
            ```

            ```story
            stale
            ```

            <!-- run: --seed 2; stats; runs: 2 -->
            ```vell
            title `b`
            ```

            Text after.
            """)
        status, _ = self.check(markdown, "--update")
        self.assertEqual(status, 0)
        self.assertEqual(self.read_document(), textwrap.dedent("""\
            Intro.

            <!-- run: --seed 1 -->
            ```vell
            title a
            ```

            ```story
            args: --no-stats --seed 1
            TITLE A
            ```

            <!-- run: --seed 2; stats; runs: 2 -->
            ```vell
            title `b`
            ```

            ```story
            args: --seed 2
            TITLE `B`
            args: --seed 2
            TITLE `B`
            ```

            ```vus
            saved
            saved
            ```

            Text after.
            """))
        self.assertEqual(self.check(self.read_document())[0], 0)

    def test_the_exit_status_is_compared_even_when_updating(self):
        failing = example("run: ; status: 1", "fail\n", ("story", "args: --no-stats\nFAIL\n"))
        self.assertEqual(self.check(failing)[0], 0)
        unexpected = example("run:", "fail\n", ("story", "args: --no-stats\nFAIL\n"))
        status, output = self.check(unexpected, "--update")
        self.assertEqual(status, 1)
        self.assertIn("exit status 1, expected 0", output)

    def test_every_vell_block_is_run_or_marked(self):
        skipped = "<!-- not run: a fragment -->\n```vell\n{Watch\n```\n"
        self.assertEqual(self.check(skipped)[1].strip(), "0 examples, 0 failed")
        for broken, message in [
            ("```vell\ntitle a\n```\n", "line 1: a vell block needs"),
            ("Text.\n\n```story\nx\n```\n", "line 3: a story block that follows no example"),
            ("<!-- run: ; loud -->\n```vell\n```\n", "unknown setting 'loud'"),
            ("<!-- run: -->\n```vell\ntitle a\n", "line 2: the fenced block is never closed"),
        ]:
            status, output = self.check(broken)
            self.assertEqual(status, 2, broken)
            self.assertIn(message, output)


if __name__ == "__main__":
    unittest.main()
