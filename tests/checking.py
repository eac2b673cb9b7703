"""The tally of a test script's checks: each check printed "ok:" or "FAILED:"
with what it checks, the failures counted, the script's exit status from them.

    sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    from checking import Checks
    check = Checks()
    check("what is checked", condition, detail)
    check.finish()
"""
import sys


class Checks:
    def __init__(self, print_passes=True):
        # A script of thousands of checks prints only those that fail.
        self.print_passes = print_passes
        self.failures = 0

    def __call__(self, description, condition, detail=""):
        if not condition:
            self.failures += 1
            print("FAILED: " + description + (" (" + str(detail) + ")" if detail != "" else ""))
        elif self.print_passes:
            print("ok: " + description)
        return condition

    def finish(self):
        print("%d failed" % self.failures)
        sys.exit(1 if self.failures else 0)
